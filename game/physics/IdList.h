// A list of component ids of one class, kept by a system that steps those
// components. Ids are appended on announcement and visited in that order;
// a walk drops the ids whose component is gone (or is of another class) as it
// meets them, so the list never outgrows the live components by more than
// one walk's dead. Owned by its system; main thread only.
#pragma once
#include <cstddef>
#include <vector>

#include "core/Types.h"
#include "engine/IComponent.h"
#include "engine/Overlord.h"

class IdList {
public:
    void Add(u32 componentId) { ids_.push_back(componentId); }
    void Reserve(std::size_t count) { ids_.reserve(count); }
    // Empties the list; a walk that is running stops after its current visit.
    void Clear();

    // Calls visit(IComponent&) for every live component of class typeId, in
    // order, and drops the dead ids. Ids added during the walk are kept for
    // the next one.
    template <class Visit>
    void ForEachLive(u32 typeId, Visit&& visit);

    const std::vector<u32>& Ids() const { return ids_; }
    std::size_t Size() const { return ids_.size(); }

private:
    std::vector<u32> ids_;
    u32 clears_ = 0;  // a walk ends when this changes under it
};

template <class Visit>
void IdList::ForEachLive(u32 typeId, Visit&& visit) {
    const Overlord* overlord = Overlord::Instance();
    if (!overlord) return;
    const u32 clears = clears_;
    const std::size_t count = ids_.size();
    std::size_t kept = 0;
    // Indices, not iterators: a visit may append (the vector may move).
    for (std::size_t i = 0; i < count; ++i) {
        const u32 id = ids_[i];
        IComponent* component = overlord->GetComponentById(id);
        if (!component || component->GetTypeId() != typeId) continue;
        ids_[kept++] = id;
        visit(*component);
        if (clears_ != clears) return;
    }
    ids_.erase(ids_.begin() + static_cast<std::ptrdiff_t>(kept), ids_.begin() + static_cast<std::ptrdiff_t>(count));
}
