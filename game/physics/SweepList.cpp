#include "game/physics/SweepList.h"

#include <algorithm>
#include <cmath>

namespace {

bool Finite(const D3DXVECTOR3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

}  // namespace

bool SweepList::Add(u32 objectId, const D3DXVECTOR3& position, float radius, int group) {
    if (Contains(objectId) || !Finite(position) || !std::isfinite(radius)) return false;
    auto entry = std::make_unique<SweepEntry>();
    entry->objectId = objectId;
    entry->position = position;
    entry->radius = radius;
    entry->group = group;
    entry->UpdateExtent(kAxis);
    byObject_[objectId] = entry.get();
    byId_.insert(std::lower_bound(byId_.begin(), byId_.end(), objectId,
                                  [](const SweepEntry* e, u32 id) { return e->objectId < id; }),
                 entry.get());
    entries_.push_back(std::move(entry));
    return true;
}

bool SweepList::Move(u32 objectId, const D3DXVECTOR3& position) {
    auto found = byObject_.find(objectId);
    if (found == byObject_.end() || !Finite(position)) return false;
    SweepEntry& entry = *found->second;
    const D3DXVECTOR3 step = position - entry.position;
    const float motion = D3DXVec3Length(&step);
    if (!std::isfinite(motion)) return false;  // too far to measure in floats
    entry.motion = motion;
    entry.position = position;
    entry.UpdateExtent(kAxis);
    return true;
}

void SweepList::Remove(u32 objectId) {
    auto found = byObject_.find(objectId);
    if (found == byObject_.end()) return;
    const SweepEntry* entry = found->second;
    byObject_.erase(found);
    byId_.erase(std::lower_bound(byId_.begin(), byId_.end(), objectId,
                                 [](const SweepEntry* e, u32 id) { return e->objectId < id; }));
    entries_.erase(std::find_if(entries_.begin(), entries_.end(),
                                [&](const std::unique_ptr<SweepEntry>& e) { return e.get() == entry; }));
}

void SweepList::Clear() {
    byObject_.clear();
    byId_.clear();
    entries_.clear();
}

void SweepList::SortEntries() {
    // Each entry moves back past every greater minExtent. Past a budget of
    // moves the rest goes to a stable sort: the head keeps equal extents in
    // their first order, so the result is the same.
    const size_t n = entries_.size();
    size_t budget = 8 * n + 64;
    for (size_t i = 1; i < n; ++i) {
        if (!(entries_[i - 1]->minExtent > entries_[i]->minExtent)) continue;
        std::unique_ptr<SweepEntry> entry = std::move(entries_[i]);
        size_t j = i;
        for (; j > 0 && entries_[j - 1]->minExtent > entry->minExtent && budget > 0; --j, --budget)
            entries_[j] = std::move(entries_[j - 1]);
        entries_[j] = std::move(entry);
        if (budget == 0) {
            std::stable_sort(entries_.begin(), entries_.end(),
                             [](const auto& a, const auto& b) { return a->minExtent < b->minExtent; });
            return;
        }
    }
}

const SweepEntry* SweepList::Find(u32 objectId) const {
    auto found = byObject_.find(objectId);
    return found == byObject_.end() ? nullptr : found->second;
}
