#include "port/window/DisplayLoss.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

namespace {

std::atomic<bool> gInstalled{false};
std::atomic<bool> gLost{false};
char gLostName[128] = {};
std::atomic<void (*)(const char*)> gExitHook{nullptr};

// Why the process ends at once, for the exit hook and stderr.
char gWhy[256] = {};

[[noreturn]] void EndAtOnce(int status) {
    if (void (*hook)(const char*) = gExitHook.load()) hook(gWhy);
    const std::string text = std::string("DevozizuDave: ") + gWhy + "\n";
    [[maybe_unused]] const ssize_t written = ::write(2, text.data(), text.size());
    ::_exit(status);
}

#if defined(SDL_VIDEO_DRIVER_X11)
std::atomic<Display*> gWatched{nullptr};
std::atomic<bool> gErrorHeld{false};

void RecordLoss(Display* display) {
    if (gLost.load()) return;
    const char* name = DisplayString(display);
    std::strncpy(gLostName, name && *name ? name : "(unnamed)", sizeof gLostName - 1);
    gLost.store(true);
}

// Xlib calls this for any connection whose server is gone, then the
// connection's exit handler, which by default ends the process with status 1.
int OnConnectionLost(Display* display) {
    RecordLoss(display);
    if (display == gWatched.load()) return 0;  // its exit handler lets the run go on
    std::snprintf(gWhy, sizeof gWhy, "lost the display %s (its X server closed the connection); ending at once",
                  gLostName);
    EndAtOnce(DisplayLoss::kExitStatus);
}

// No Xlib call may be made here; the error is only held (the first one).
int OnProtocolError(Display*, XErrorEvent* error) {
    if (gLost.load() || gErrorHeld.load()) return 0;
    std::snprintf(gWhy, sizeof gWhy, "X error %u of request %u.%u (serial %lu); ending at once",
                  static_cast<unsigned>(error->error_code), static_cast<unsigned>(error->request_code),
                  static_cast<unsigned>(error->minor_code), error->serial);
    gErrorHeld.store(true);
    return 0;
}

// The watched connection's exit handler: nothing ends; Xlib returns from
// every later call on the connection at once.
void GoOnWithoutTheDisplay(Display*, void*) {}

// The GL driver talks to the server on the same connection without Xlib and
// may wait for ever for an answer once the server is gone, before any Xlib
// call has seen it. So a thread waits for the server's end of the socket to
// close; the process then has its grace time to end in order, and is ended
// at once after it.
void WatchConnection(int socket, std::string name) {
    pollfd hangUp{socket, POLLRDHUP, 0};
    for (;;) {
        const int ready = ::poll(&hangUp, 1, -1);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0 || (hangUp.revents & POLLNVAL)) return;  // the connection was closed here
        if (hangUp.revents & (POLLRDHUP | POLLHUP | POLLERR)) break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(DisplayLoss::kGraceMilliseconds));
    std::snprintf(gWhy, sizeof gWhy,
                  "lost the display %s (its X server closed the connection) and the run did not end within %d ms; "
                  "ending at once",
                  name.c_str(), DisplayLoss::kGraceMilliseconds);
    EndAtOnce(DisplayLoss::kExitStatus);
}
#endif

}  // namespace

void DisplayLoss::Install() {
    if (gInstalled.exchange(true)) return;
#if defined(SDL_VIDEO_DRIVER_X11)
    XSetIOErrorHandler(&OnConnectionLost);
    XSetErrorHandler(&OnProtocolError);
#endif
    struct sigaction current {};
    if (::sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        ::sigaction(SIGPIPE, &ignore, nullptr);
    }
}

void DisplayLoss::Watch(void* sdlWindow) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    SDL_Window* window = static_cast<SDL_Window*>(sdlWindow);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
    Install();
    Display* display = info.info.x11.display;
    XSetIOErrorExitHandler(display, &GoOnWithoutTheDisplay, nullptr);
    if (gWatched.exchange(display) != display) {
        const char* name = DisplayString(display);
        std::thread(&WatchConnection, ConnectionNumber(display), std::string(name ? name : "")).detach();
    }
#else
    (void)sdlWindow;
#endif
}

const char* DisplayLoss::LostDisplay() {
    return gLost.load() ? gLostName : nullptr;
}

void DisplayLoss::CheckHeldError(void* sdlWindow) {
#if defined(SDL_VIDEO_DRIVER_X11)
    if (!gErrorHeld.load() || gLost.load()) return;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    SDL_Window* window = static_cast<SDL_Window*>(sdlWindow);
    if (window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11)
        XSync(info.info.x11.display, False);  // a server going away is found lost here
    if (gLost.load()) return;
    EndAtOnce(1);
#else
    (void)sdlWindow;
#endif
}

void DisplayLoss::SetExitHook(void (*hook)(const char* display)) {
    gExitHook.store(hook);
}

void DisplayLoss::ResetForTest() {
    gLost.store(false);
    gLostName[0] = '\0';
#if defined(SDL_VIDEO_DRIVER_X11)
    gWatched.store(nullptr);
    gErrorHeld.store(false);
#endif
}
