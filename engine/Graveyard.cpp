#include "engine/Graveyard.h"

#include <chrono>

#include "engine/GameObject.h"
#include "engine/IComponent.h"

namespace {
using Clock = std::chrono::steady_clock;

// One deletion step: take index 0, delete it, move the last entry into its
// place. Returns the seconds the step took.
template <class T>
float DeleteFront(std::vector<T*>& queue) {
    const Clock::time_point t0 = Clock::now();
    delete queue.front();
    if (queue.size() > 1) queue.front() = queue.back();
    queue.pop_back();
    return std::chrono::duration<float>(Clock::now() - t0).count();
}
}  // namespace

Graveyard::Graveyard() = default;

Graveyard::~Graveyard() {
    // Index loops: a destructor may still queue something behind the walk.
    for (std::size_t i = 0; i < objects_.size(); ++i) delete objects_[i];
    for (std::size_t i = 0; i < components_.size(); ++i) delete components_[i];
}

void Graveyard::AddObject(GameObject* object) {
    if (object) {
        if (object->buried_) return;
        object->buried_ = true;
    }
    objects_.push_back(object);
}

void Graveyard::AddComponent(IComponent* component) {
    if (component) {
        if (component->buried_) return;
        component->buried_ = true;
    }
    components_.push_back(component);
}

void Graveyard::Collect(float budgetSeconds) {
    const double budget = budgetSeconds;
    if (!(budget > 0.0)) return;
    float used = 0.0f;
    while (!objects_.empty()) {
        used += DeleteFront(objects_);
        if (!(used < budget)) return;
    }
    while (!components_.empty()) {
        used += DeleteFront(components_);
        if (!(used < budget)) return;
    }
}
