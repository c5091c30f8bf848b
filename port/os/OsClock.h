// Clocks and the thread id the engine prints and times with. Any thread;
// CurrentThreadId is async-signal-safe.
#pragma once
#include <cstdint>

// Milliseconds of a monotonic clock; wraps like a 32-bit multimedia timer.
std::uint32_t MillisecondTimer();
// The kernel's id of the calling thread (gettid).
std::uint32_t CurrentThreadId();
// Sleeps the calling thread for the given milliseconds.
void SleepMilliseconds(std::uint32_t ms);
