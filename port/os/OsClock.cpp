#include "port/os/OsClock.h"

#include <sys/syscall.h>
#include <unistd.h>
#include <chrono>
#include <thread>

std::uint32_t MillisecondTimer() {
    using namespace std::chrono;
    auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<std::uint32_t>(ms);
}

std::uint32_t CurrentThreadId() {
    return static_cast<std::uint32_t>(::syscall(SYS_gettid));
}

void SleepMilliseconds(std::uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
