// The one id counter that numbers type ids, game objects, components, systems'
// type ids and controls alike; 0 means "none". Created at start-up with the
// value 1 and owned by the program entry. Main thread only.
#pragma once
#include "core/Assert.h"
#include "core/Singleton.h"
#include "core/Types.h"

class IdCounter : public Singleton<IdCounter> {
public:
    explicit IdCounter(u32 first = 1) : next_(first) {}

    // Returns the current value and advances the counter. Running past the
    // last id would hand out 0 ("none") and then ids already in use: it stops.
    u32 Draw() {
        DD_ASSERT(next_ != 0, "the id counter has run out of ids");
        return next_++;
    }
    u32 Peek() const { return next_; }

private:
    u32 next_;
};

// Draws from the live counter. Without one (tests that build a single class,
// tools) a process-wide fallback counter starting at 1 is used.
u32 NewId();
