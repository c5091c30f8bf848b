// Test support: an X server of the test's own (Xvfb, on a display number the
// server picks as free, so parallel tests and other sessions never meet) for
// tests that need real X windows, focus and input, with openbox as its window
// manager when asked. The server and the manager end with the object, or
// when the test kills them. Compiled into the binaries that use it (links
// X11). Main thread only.
#pragma once
#include <sys/types.h>

#include <string>

class XServer {
public:
    static constexpr int kWidth = 1280;
    static constexpr int kHeight = 1024;

    // Starts the server (kWidth x kHeight, 24 bits); Running() is false when
    // it cannot (Xvfb not installed, or not up within 10 s).
    XServer();
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    bool Running() const { return serverPid_ > 0; }
    // The display's name, ":N".
    const std::string& Name() const { return name_; }

    // Starts openbox and waits until it manages the screen (up to 10 s);
    // false when it is not installed or did not come up.
    bool StartWindowManager();
    // Ends the window manager (and waits for it); no-op without one.
    void StopWindowManager();
    // Ends the server as `kill` would (SIGTERM) and waits for it.
    void Kill();
    // Ends the server (and manager) and starts a new one, perhaps on
    // another display number: Name() tells.
    void Restart();

    // Whether the screen has a window manager of today (its check window).
    bool WindowManagerRuns() const;
    // The processes, for a child process that ends them itself (-1: none).
    pid_t Pid() const { return serverPid_; }
    pid_t ManagerPid() const { return managerPid_; }

    // Whether a program is on the PATH.
    static bool Installed(const char* program);

private:
    void Start();

    pid_t serverPid_ = -1;
    pid_t managerPid_ = -1;
    std::string name_;
};
