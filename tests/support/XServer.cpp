#include "tests/support/XServer.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {
constexpr int kStartMilliseconds = 10000;

// Ends a child of ours with the signal and waits for it (SIGKILL after 5 s).
void EndChild(pid_t* pid, int signal) {
    if (*pid <= 0) return;
    ::kill(*pid, signal);
    for (int i = 0; i < 500; ++i) {
        if (::waitpid(*pid, nullptr, WNOHANG) == *pid) {
            *pid = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(*pid, SIGKILL);
    ::waitpid(*pid, nullptr, 0);
    *pid = -1;
}
}  // namespace

bool XServer::Installed(const char* program) {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos) end = folders.size();
        const std::string candidate = folders.substr(start, end - start) + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

XServer::XServer() {
    Start();
}

void XServer::Restart() {
    StopWindowManager();
    Kill();
    name_.clear();
    Start();
}

void XServer::Start() {
    if (!Installed("Xvfb")) return;
    int pipe[2];
    if (::pipe(pipe) != 0) return;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipe[0]);
        const int devNull = ::open("/dev/null", O_RDWR);
        ::dup2(devNull, STDOUT_FILENO);
        ::dup2(devNull, STDERR_FILENO);
        const std::string fd = std::to_string(pipe[1]);
        const std::string screen = std::to_string(kWidth) + "x" + std::to_string(kHeight) + "x24";
        // -noreset: by default the server resets when its last client leaves
        // and refuses connections meanwhile, so a test's own short look at the
        // screen would make the program's connection fail now and then.
        ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-noreset", "-screen", "0", screen.c_str(), "-nolisten",
                 "tcp", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipe[1]);
    // The server writes its display number once it accepts connections.
    std::string number;
    pollfd ready{pipe[0], POLLIN, 0};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartMilliseconds);
    while (pid > 0 && number.find('\n') == std::string::npos) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0) break;
        char buffer[32];
        const ssize_t got = ::read(pipe[0], buffer, sizeof buffer);
        if (got <= 0) break;
        number.append(buffer, static_cast<size_t>(got));
    }
    ::close(pipe[0]);
    serverPid_ = pid;
    if (number.find('\n') == std::string::npos) {
        EndChild(&serverPid_, SIGKILL);
        return;
    }
    name_ = ":" + number.substr(0, number.find('\n'));
}

XServer::~XServer() {
    StopWindowManager();
    Kill();
}

namespace {
int IgnoreError(Display*, XErrorEvent*) {
    return 0;
}

Window NamedWindow(Display* display, Window window, Atom property) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    Window named = 0;
    if (XGetWindowProperty(display, window, property, 0, 1, False, XA_WINDOW, &type, &format, &count, &left, &data) ==
            Success &&
        data && count == 1)
        named = *reinterpret_cast<Window*>(data);
    if (data) XFree(data);
    return named;
}
}  // namespace

bool XServer::WindowManagerRuns() const {
    Display* display = XOpenDisplay(name_.c_str());
    if (!display) return false;
    // The root names the manager's check window, which names itself while
    // the manager lives (an ended one leaves the root's name behind).
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    const Window named = NamedWindow(display, DefaultRootWindow(display), check);
    int (*previous)(Display*, XErrorEvent*) = XSetErrorHandler(&IgnoreError);
    const bool runs = named && NamedWindow(display, named, check) == named;
    XSync(display, False);
    XSetErrorHandler(previous);
    XCloseDisplay(display);
    return runs;
}

bool XServer::StartWindowManager() {
    if (!Running() || !Installed("openbox")) return false;
    if (managerPid_ > 0) return true;
    managerPid_ = ::fork();
    if (managerPid_ == 0) {
        const int devNull = ::open("/dev/null", O_RDWR);
        ::dup2(devNull, STDOUT_FILENO);
        ::dup2(devNull, STDERR_FILENO);
        ::setenv("DISPLAY", name_.c_str(), 1);
        ::execlp("openbox", "openbox", "--sm-disable", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    for (int waited = 0; waited < kStartMilliseconds; waited += 50) {
        if (WindowManagerRuns()) return true;
        if (::waitpid(managerPid_, nullptr, WNOHANG) == managerPid_) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    StopWindowManager();
    return false;
}

void XServer::StopWindowManager() {
    EndChild(&managerPid_, SIGTERM);
    // A manager that ended leaves its check window name behind: wait until
    // the server has dropped it with the manager's connection.
    for (int waited = 0; Running() && waited < kStartMilliseconds && WindowManagerRuns(); waited += 50)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

void XServer::Kill() {
    EndChild(&managerPid_, SIGKILL);
    EndChild(&serverPid_, SIGTERM);
}
