#include "port/os/QuitSignals.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <thread>

namespace {
volatile std::sig_atomic_t gQuitRequested = 0;
volatile std::sig_atomic_t gLoopStarted = 0;
// Set once the frame loop has seen the request (the running frame ended).
std::atomic<bool> gQuitSeen{false};
// A byte on the pipe is the signal's number, with this bit when the process
// must end at once; without it the watcher gives the frame its grace time.
constexpr unsigned char kAtOnce = 0x80;
// The handler writes the signal's number here when the process must end at
// once; the watcher thread reads it. -1 until installed.
int gWakePipe[2] = {-1, -1};
// The process that made the pipe and its watcher: a child forked later
// shares the pipe but has no watcher of its own.
pid_t gWatchedProcess = 0;
std::atomic<void (*)(int, bool)> gExitHook{nullptr};

void OnQuitSignal(int signal) {
    const int savedErrno = errno;
    const bool second = gQuitRequested != 0;
    gQuitRequested = 1;
    const bool atOnce = second || gLoopStarted == 0;
    if (gWakePipe[1] >= 0) {
        if (::getpid() != gWatchedProcess) {
            if (atOnce) ::_exit(128 + signal);
            errno = savedErrno;
            return;
        }
        const unsigned char number = static_cast<unsigned char>((signal & 0x7f) | (atOnce ? kAtOnce : 0));
        // Async-signal-safe; a full pipe means a wake-up is already pending.
        [[maybe_unused]] const ssize_t ignored = ::write(gWakePipe[1], &number, 1);
    }
    errno = savedErrno;
}

// Waits up to the timeout (-1: for good) for a byte on the pipe: 1 when one
// was read, 0 on time-out, -1 when the pipe is gone.
int ReadWake(unsigned char* byte, int timeoutMilliseconds) {
    pollfd wake{gWakePipe[0], POLLIN, 0};
    for (;;) {
        const int ready = ::poll(&wake, 1, timeoutMilliseconds);
        if (ready < 0 && errno == EINTR) continue;
        if (ready == 0) return 0;
        if (ready < 0) return -1;
        const ssize_t got = ::read(gWakePipe[0], byte, 1);
        if (got == 1) return 1;
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        return -1;
    }
}

[[noreturn]] void EndNow(int signal, bool frameStuck) {
    if (void (*hook)(int, bool) = gExitHook.load()) hook(signal, frameStuck);
    ::_exit(128 + signal);
}

void WatchForQuit() {
    for (;;) {
        unsigned char byte = 0;
        if (ReadWake(&byte, -1) < 0) return;  // the pipe is gone: nothing left to watch
        const int signal = byte & 0x7f;
        if (byte & kAtOnce) EndNow(signal, false);
        // A first signal in the loop: the running frame has its grace time
        // to end; a frame that never ends (a runaway level) must not keep
        // the process alive. Checked in short slices so that the loop's
        // acknowledgement is seen soon after it comes.
        int waited = 0;
        while (!gQuitSeen.load()) {
            if (waited >= kQuitGraceMilliseconds) EndNow(signal, true);
            const int got = ReadWake(&byte, 50);
            if (got < 0) return;
            if (got == 1) EndNow(byte & 0x7f, false);
            waited += 50;
        }
    }
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
    if (gQuitRequested == 0) return false;
    gQuitSeen.store(true);
    return true;
}

void MarkFrameLoopStarted() {
    gLoopStarted = 1;
}

void SetQuitSignalExitHook(void (*hook)(int signal, bool frameStuck)) {
    gExitHook.store(hook);
}

void ResetQuitSignalForTest() {
    gQuitRequested = 0;
    gLoopStarted = 0;
    gQuitSeen.store(false);
}
