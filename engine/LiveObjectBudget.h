// A cap on how many objects one kind of maker (particle effects, spawners) has
// alive at once: the ids it made, counted while they stay in the object
// registry, and whether its first refusal has been reported. The ids belong to
// one Overlord: a new registry (a new run of the services) starts afresh.
// Held by its maker for the whole run; main thread only.
#pragma once
#include <cstddef>
#include <vector>

#include "core/Types.h"

class Overlord;

class LiveObjectBudget {
public:
    explicit LiveObjectBudget(std::size_t cap) : cap_(cap) {}

    // Whether one more object may be made now. A full list is searched for
    // gone ids first when mayLook is set and the registry has lost objects
    // since the last search (otherwise a search would find none).
    bool HasRoom(bool mayLook = true);
    // Whether the ids on file reach the cap, gone ones included.
    bool Full();
    // True for the first refusal since the last Reset (or a new registry), false
    // after it: the maker logs one row, not one per refusal.
    bool FirstRefusal();
    // Files an object just made; 0 (nothing made) is ignored.
    void Made(u32 objectId);
    // How many of the objects made are still registered.
    std::size_t Live();
    // Forgets every id and the refusal report.
    void Reset();

private:
    void Follow();  // starts afresh when the registry is not the one the ids belong to
    void Prune();   // drops the ids no longer registered

    std::size_t cap_;
    const Overlord* overlord_ = nullptr;  // the registry the ids belong to
    std::vector<u32> made_;               // ids made, some perhaps gone since
    u64 removalsAtPrune_ = 0;             // the registry's removal count at the last search
    bool reported_ = false;
};
