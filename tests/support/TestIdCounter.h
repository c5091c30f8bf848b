// The id counter every test fixture makes. Type ids are drawn once per process
// and kept (TypeId<T>), so a counter restarted at 1 in a later test would hand a
// kept type id out again as an object, component or class id. A TestIdCounter
// starts past every id drawn so far in the process (by earlier test counters
// and by the fallback counter) and records where it stopped when destroyed.
// Main thread only; one live at a time, like the program's own counter.
#pragma once
#include "core/IdCounter.h"

class TestIdCounter final : public IdCounter {
public:
    TestIdCounter();
    ~TestIdCounter();
    TestIdCounter(const TestIdCounter&) = delete;
    TestIdCounter& operator=(const TestIdCounter&) = delete;
};
