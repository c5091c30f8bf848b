#include "port/window/DisplayLoss.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <link.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <ucontext.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "port/window/X11Window.h"

namespace {

std::atomic<bool> gInstalled{false};
std::atomic<bool> gLost{false};
char gLostName[128] = {};
std::atomic<void (*)(const char*)> gExitHook{nullptr};

// Why the process ends at once, for the exit hook and stderr.
char gWhy[256] = {};
// The display the window is shown on: DISPLAY when installed, the window's
// connection's own name once watched. Read on a crash.
char gDisplayName[128] = {};

void CopyName(char (&to)[128], const char* name) {
    std::strncpy(to, name && *name ? name : "(unnamed)", sizeof to - 1);
    to[sizeof to - 1] = '\0';
}

// Also from a signal handler: nothing is allocated.
void WriteWhy() {
    const char prefix[] = "DevozizuDave: ";
    char text[sizeof prefix + sizeof gWhy + 1];
    std::memcpy(text, prefix, sizeof prefix - 1);
    size_t length = sizeof prefix - 1;
    for (size_t i = 0; i < sizeof gWhy && gWhy[i]; ++i) text[length++] = gWhy[i];
    text[length++] = '\n';
    [[maybe_unused]] const ssize_t written = ::write(2, text, length);
}

[[noreturn]] void EndAtOnce(int status) {
    if (void (*hook)(const char*) = gExitHook.load()) hook(gWhy);
    WriteWhy();
    ::_exit(status);
}

// The hook of a crash's end may wait on what the crashed code left locked.
void EndWithoutTheHook(int) {
    WriteWhy();
    ::_exit(DisplayLoss::kExitStatus);
}

// Whether a socket's peer is an X server: its local socket
// (/tmp/.X11-unix/X<n>, in the abstract namespace or the file system) or
// TCP port 6000 + n.
bool IsXServerAddress(const sockaddr_storage& peer, socklen_t size) {
    if (peer.ss_family == AF_UNIX) {
        const sockaddr_un& local = reinterpret_cast<const sockaddr_un&>(peer);
        const char* path = local.sun_path;
        size_t length = size > offsetof(sockaddr_un, sun_path) ? size - offsetof(sockaddr_un, sun_path) : 0;
        if (length > 0 && path[0] == '\0') {
            ++path;
            --length;
        }
        static constexpr char kFolder[] = "/tmp/.X11-unix/X";
        return length >= sizeof kFolder - 1 && std::memcmp(path, kFolder, sizeof kFolder - 1) == 0;
    }
    int port = -1;
    if (peer.ss_family == AF_INET) port = ntohs(reinterpret_cast<const sockaddr_in&>(peer).sin_port);
    if (peer.ss_family == AF_INET6) port = ntohs(reinterpret_cast<const sockaddr_in6&>(peer).sin6_port);
    return port >= 6000 && port < 6100;
}

// The program's own machine code (its executable's code segments, where
// the program's libraries are linked in): a crash there is the program's.
// Found at Install; empty until then.
std::atomic<uintptr_t> gOwnCodeStart{0};
std::atomic<uintptr_t> gOwnCodeEnd{0};

void FindOwnCode() {
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) -> int {
            uintptr_t start = UINTPTR_MAX, end = 0;
            for (int i = 0; i < info->dlpi_phnum; ++i) {
                const ElfW(Phdr)& segment = info->dlpi_phdr[i];
                if (segment.p_type != PT_LOAD || !(segment.p_flags & PF_X)) continue;
                start = std::min<uintptr_t>(start, info->dlpi_addr + segment.p_vaddr);
                end = std::max<uintptr_t>(end, info->dlpi_addr + segment.p_vaddr + segment.p_memsz);
            }
            if (end > start) {
                gOwnCodeStart.store(start);
                gOwnCodeEnd.store(end);
            }
            return 1;  // the executable comes first
        },
        nullptr);
}

// Whether the instruction that faulted is in the program's own code.
bool FaultedInOwnCode(const void* context) {
    if (!context) return false;
    const mcontext_t& machine = static_cast<const ucontext_t*>(context)->uc_mcontext;
#if defined(__x86_64__)
    const uintptr_t at = static_cast<uintptr_t>(machine.gregs[REG_RIP]);
#elif defined(__aarch64__)
    const uintptr_t at = static_cast<uintptr_t>(machine.pc);
#else
    (void)machine;
    return true;  // not known here: every crash stays the program's
#endif
    return at >= gOwnCodeStart.load() && at < gOwnCodeEnd.load();
}

// Whether one of the process's descriptors is a connection to an X server
// that the server has closed. Only calls a signal handler may make.
bool AnyXConnectionClosed() {
    rlimit limit{};
    rlim_t count = ::getrlimit(RLIMIT_NOFILE, &limit) == 0 ? limit.rlim_cur : 1024;
    if (count > 65536) count = 65536;
    for (int fd = 0; fd < static_cast<int>(count); ++fd) {
        sockaddr_storage peer{};
        socklen_t size = sizeof peer;
        if (::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &size) != 0 || !IsXServerAddress(peer, size))
            continue;
        pollfd hangUp{fd, POLLRDHUP, 0};
        if (::poll(&hangUp, 1, 0) == 1 && (hangUp.revents & (POLLRDHUP | POLLHUP | POLLERR))) return true;
    }
    return false;
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
    CopyName(gDisplayName, std::getenv("DISPLAY"));
    FindOwnCode();
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
    Display* display = nullptr;
    Window xwindow = 0;
    if (!XWindowOf(static_cast<SDL_Window*>(sdlWindow), &display, &xwindow)) return;
    Install();
    XSetIOErrorExitHandler(display, &GoOnWithoutTheDisplay, nullptr);
    if (gWatched.exchange(display) != display) {
        const char* name = DisplayString(display);
        CopyName(gDisplayName, name);
        std::thread(&WatchConnection, ConnectionNumber(display), std::string(name ? name : "")).detach();
    }
#else
    (void)sdlWindow;
#endif
}

const char* DisplayLoss::LostDisplay() {
    return gLost.load() ? gLostName : nullptr;
}

bool DisplayLoss::FoundServerGone() {
    if (gLost.load()) return true;
    if (!AnyXConnectionClosed()) return false;
    CopyName(gLostName, gDisplayName);
    gLost.store(true);
    return true;
}

void DisplayLoss::CheckHeldError(void* sdlWindow) {
#if defined(SDL_VIDEO_DRIVER_X11)
    if (!gErrorHeld.load() || gLost.load()) return;
    Display* display = nullptr;
    Window xwindow = 0;
    if (XWindowOf(static_cast<SDL_Window*>(sdlWindow), &display, &xwindow))
        XSync(display, False);  // a server going away is found lost here
    if (gLost.load()) return;
    EndAtOnce(1);
#else
    (void)sdlWindow;
#endif
}

void DisplayLoss::EndIfServerGone(int signal, const void* context) {
    if (FaultedInOwnCode(context) || !AnyXConnectionClosed()) return;
    std::snprintf(gWhy, sizeof gWhy,
                  "lost the display %s (its X server closed the connection) and the GL driver failed on it "
                  "(signal %d); ending at once",
                  gLost.load() ? gLostName : gDisplayName, signal);
    struct sigaction bound {};
    bound.sa_handler = &EndWithoutTheHook;
    sigemptyset(&bound.sa_mask);
    ::sigaction(SIGALRM, &bound, nullptr);
    ::alarm((kGraceMilliseconds + 999) / 1000);
    EndAtOnce(kExitStatus);
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
