// The ids of the components of one class that a system updates. A pass takes
// ids from the back of the pending list, moves each to the back of the done
// list, and ends with EndPass (the lists swap), so consecutive passes visit
// the components in alternating order. An id added while a pass runs goes
// to the done list: it is first visited in the next pass, so a component
// that makes another of its class cannot keep a pass from ending. Ids of
// components no longer registered are dropped for good when a pass meets
// them. Owned by its system. Main thread only.
#pragma once
#include <cstddef>
#include <vector>

#include "core/Types.h"

class IComponent;

class ComponentList {
public:
    // Appends to the pending list (typically on a ComponentAnnounced kind),
    // or to the done list while a pass runs.
    void Add(u32 componentId);
    // Whether a live component remains to visit in this pass; drops dead ids
    // from the back of the pending list on the way.
    bool HasNext();
    // Moves the last pending id to the done list and returns its component
    // (null if none is registered under it).
    IComponent* Next();
    // Ends a pass: the pending and done lists swap.
    void EndPass() {
        pending_.swap(done_);
        passing_ = false;
    }
    void Clear();

    const std::vector<u32>& Pending() const { return pending_; }
    const std::vector<u32>& Done() const { return done_; }
    std::size_t Size() const { return pending_.size() + done_.size(); }

private:
    std::vector<u32> pending_;
    std::vector<u32> done_;
    bool passing_ = false;  // from a pass's first HasNext or Next to its EndPass
};
