// The CollisionSystem's colliders sorted along one axis (z) by the low end
// of their extents, one entry per object id. Entries are re-sorted by
// insertion once per update, which is cheap because the order changes little
// between physics steps. Owns its entries; main thread only.
#pragma once
#include <memory>
#include <unordered_map>
#include <vector>

#include "game/physics/SweepEntry.h"

class SweepList {
public:
    static constexpr int kAxis = 2;  // z

    // A new entry at the end, motion 0; false (nothing added) when the object
    // already has one or a value is not a finite number.
    bool Add(u32 objectId, const D3DXVECTOR3& position, float radius, int group);
    // The entry's new position; motion := the distance moved. False when the
    // object has no entry or the position is not finite (entry kept as it was).
    bool Move(u32 objectId, const D3DXVECTOR3& position);
    void Remove(u32 objectId);
    void Clear();

    // Calls `visit` on each entry (which it may change) from the head, then sorts the entries by
    // minExtent, equal extents keeping their order: an insertion sort, which
    // hands a list far from sorted over to a stable sort of the same result.
    template <class Visit>
    void Sort(Visit&& visit) {
        for (const auto& entry : entries_) visit(*entry);
        SortEntries();
    }

    // Calls `visit` on each entry in ascending object id: objects made one
    // after the other lie near each other in memory.
    template <class Visit>
    void ForEachById(Visit&& visit) {
        for (SweepEntry* entry : byId_) visit(*entry);
    }

    const SweepEntry* Find(u32 objectId) const;
    bool Contains(u32 objectId) const { return byObject_.count(objectId) != 0; }
    size_t Size() const { return entries_.size(); }
    // In sweep order.
    const SweepEntry& At(size_t index) const { return *entries_[index]; }

private:
    void SortEntries();

    std::vector<std::unique_ptr<SweepEntry>> entries_;
    std::unordered_map<u32, SweepEntry*> byObject_;
    std::vector<SweepEntry*> byId_;  // the entries in ascending object id
};
