#include "engine/SceneBudget.h"

bool SceneBudget::Share::Take(SceneBudget& budget, u64 amount) {
    Release();
    if (!budget.Fits(amount)) return false;
    budget.inUse_ += amount;
    budget_ = &budget;
    amount_ = amount;
    scene_ = budget.scene_;
    return true;
}

void SceneBudget::Share::Release() {
    if (budget_ && scene_ == budget_->scene_) budget_->inUse_ -= amount_;
    budget_ = nullptr;
    amount_ = 0;
}

bool SceneBudget::FirstRefusal() {
    const bool first = !reported_;
    reported_ = true;
    return first;
}

void SceneBudget::NewScene() {
    inUse_ = 0;
    ++scene_;
    reported_ = false;
}
