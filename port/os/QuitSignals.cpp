#include "port/os/QuitSignals.h"

#include <csignal>

namespace {
volatile std::sig_atomic_t gQuitRequested = 0;

void OnQuitSignal(int) {
    gQuitRequested = 1;
}
}  // namespace

void InstallQuitSignalHandlers() {
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool QuitSignalReceived() {
    return gQuitRequested != 0;
}

void ResetQuitSignalForTest() {
    gQuitRequested = 0;
}
