#include "port/os/QuitSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <thread>

namespace {
volatile std::sig_atomic_t gQuitRequested = 0;
volatile std::sig_atomic_t gLoopStarted = 0;
// The handler writes the signal's number here when the process must end at
// once; the watcher thread reads it. -1 until installed.
int gWakePipe[2] = {-1, -1};
// The process that made the pipe and its watcher: a child forked later
// shares the pipe but has no watcher of its own.
pid_t gWatchedProcess = 0;
std::atomic<void (*)(int)> gExitHook{nullptr};

void OnQuitSignal(int signal) {
    const int savedErrno = errno;
    const bool second = gQuitRequested != 0;
    gQuitRequested = 1;
    if ((second || gLoopStarted == 0) && gWakePipe[1] >= 0) {
        if (::getpid() != gWatchedProcess) ::_exit(128 + signal);
        const unsigned char number = static_cast<unsigned char>(signal);
        // Async-signal-safe; a full pipe means a wake-up is already pending.
        [[maybe_unused]] const ssize_t ignored = ::write(gWakePipe[1], &number, 1);
    }
    errno = savedErrno;
}

void WatchForQuit() {
    unsigned char number = 0;
    for (;;) {
        const ssize_t got = ::read(gWakePipe[0], &number, 1);
        if (got == 1) break;
        if (got < 0 && errno == EINTR) continue;
        return;  // the pipe is gone: nothing left to watch
    }
    if (void (*hook)(int) = gExitHook.load()) hook(number);
    ::_exit(128 + number);
}
}  // namespace

void InstallQuitSignalHandlers() {
    if (gWakePipe[0] < 0 && ::pipe2(gWakePipe, O_CLOEXEC) == 0) {
        gWatchedProcess = ::getpid();
        ::fcntl(gWakePipe[1], F_SETFL, ::fcntl(gWakePipe[1], F_GETFL) | O_NONBLOCK);
        std::thread(&WatchForQuit).detach();
    }
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

bool QuitSignalReceived() {
    return gQuitRequested != 0;
}

void MarkFrameLoopStarted() {
    gLoopStarted = 1;
}

void SetQuitSignalExitHook(void (*hook)(int signal)) {
    gExitHook.store(hook);
}

void ResetQuitSignalForTest() {
    gQuitRequested = 0;
    gLoopStarted = 0;
}
