#include "engine/ComponentList.h"

#include "engine/Overlord.h"

namespace {
IComponent* Lookup(u32 id) {
    Overlord* overlord = Overlord::Instance();
    return overlord ? overlord->GetComponentById(id) : nullptr;
}
}  // namespace

void ComponentList::Add(u32 componentId) {
    (passing_ ? done_ : pending_).push_back(componentId);
}

bool ComponentList::HasNext() {
    passing_ = true;
    while (!pending_.empty()) {
        if (Lookup(pending_.back())) return true;
        pending_.pop_back();
    }
    return false;
}

IComponent* ComponentList::Next() {
    passing_ = true;
    if (pending_.empty()) return nullptr;
    const u32 id = pending_.back();
    pending_.pop_back();
    done_.push_back(id);
    return Lookup(id);
}

void ComponentList::Clear() {
    pending_.clear();
    done_.clear();
    passing_ = false;
}
