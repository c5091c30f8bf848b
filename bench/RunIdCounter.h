// The id counter of one benchmark run: it starts past every id that earlier
// runs in the process drew, so the type ids they kept are never handed out
// again. Made first among a run's services and gone last. Main thread only.
#pragma once
#include "core/IdCounter.h"

class RunIdCounter : public IdCounter {
public:
    RunIdCounter() : IdCounter(next_) {}
    ~RunIdCounter() { next_ = Peek(); }
    RunIdCounter(const RunIdCounter&) = delete;
    RunIdCounter& operator=(const RunIdCounter&) = delete;

private:
    static inline u32 next_ = 1;
};
