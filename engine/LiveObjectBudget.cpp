#include "engine/LiveObjectBudget.h"

#include <algorithm>

#include "engine/Overlord.h"

void LiveObjectBudget::Follow() {
    const Overlord* current = Overlord::Instance();
    if (overlord_ != current) Reset();
}

void LiveObjectBudget::Prune() {
    if (!overlord_) {
        made_.clear();
        return;
    }
    std::erase_if(made_, [&](u32 id) { return !overlord_->GetGameObject(id); });
    removalsAtPrune_ = overlord_->ObjectRemovals();
}

bool LiveObjectBudget::HasRoom(bool mayLook) {
    Follow();
    if (mayLook && made_.size() >= cap_ && (!overlord_ || overlord_->ObjectRemovals() != removalsAtPrune_)) Prune();
    return made_.size() < cap_;
}

bool LiveObjectBudget::Full() {
    Follow();
    return made_.size() >= cap_;
}

bool LiveObjectBudget::FirstRefusal() {
    Follow();
    const bool first = !reported_;
    reported_ = true;
    return first;
}

void LiveObjectBudget::Made(u32 objectId) {
    Follow();
    if (objectId != 0) made_.push_back(objectId);
}

std::size_t LiveObjectBudget::Live() {
    Follow();
    Prune();
    return made_.size();
}

void LiveObjectBudget::Reset() {
    made_.clear();
    reported_ = false;
    overlord_ = Overlord::Instance();
    removalsAtPrune_ = 0;
}
