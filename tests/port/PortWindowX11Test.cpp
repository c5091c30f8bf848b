// The port window on a real X server of the test's own (Xvfb), with and
// without a window manager (openbox): full screen is asked for only where it
// can be carried out, so a size request works at once without a manager; a
// size or full-screen change keeps the window's centre and the resting
// pointer on the point it was on; the window takes the keyboard focus when
// shown; a server that goes away ends in a named loss instead of Xlib's
// silent exit; a message box's long text is wrapped to the window. Each case runs in a child process (SDL's video stays
// with the first server a process meets); skipped without Xvfb or openbox.
#include <gtest/gtest.h>
// After the test framework: Xlib's macros (None, Bool) would break its headers.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "port/crash/CrashHandler.h"
#include "port/window/DisplayLoss.h"
#include "port/window/DisplayServer.h"
#include "port/window/PortWindow.h"
#include "port/window/WindowMessageBox.h"
#include "tests/port/ChildProcess.h"
#include "tests/support/XServer.h"

namespace {

// Failures of the child's checks, written to stderr; the child's status
// says whether there were any.
class ChildChecks {
public:
    void Expect(bool condition, const std::string& what) {
        if (!condition) failures_ << what << "\n";
    }
    [[noreturn]] void Finish() {
        const std::string text = failures_.str();
        if (!text.empty()) [[maybe_unused]]
            const ssize_t n = ::write(2, text.data(), text.size());
        ::_exit(text.empty() ? 0 : 1);
    }

private:
    std::ostringstream failures_;
};

std::string Pair(int a, int b) {
    return std::to_string(a) + "," + std::to_string(b);
}

class PortWindowX11Test : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server_.Running()) GTEST_SKIP() << "Xvfb is not installed";
    }

    // Runs body in a child on this server; the test fails with the child's
    // failures.
    void InChild(const std::function<void(ChildChecks&)>& body) {
        const std::string display = server_.Name();
        ChildProcess child = ChildProcess::Fork(MakeTempFolder(), [&] {
            ::setenv("DISPLAY", display.c_str(), 1);
            ::setenv("SDL_VIDEODRIVER", "x11", 1);
            ChildChecks checks;
            body(checks);
            checks.Finish();
        });
        const ChildResult result = child.Wait(120);
        ASSERT_FALSE(result.timedOut) << result.errorText;
        EXPECT_TRUE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == 0) << "status " << result.status << "\n"
                                                                                 << result.errorText;
    }

    XServer server_;
};

// Drains the window's events for a while (a window manager answers late).
void Pump(PortWindow& window, int milliseconds, std::vector<WindowEvent>* events = nullptr) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    do {
        WindowEvent e;
        while (window.PollEvent(&e))
            if (events) events->push_back(e);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } while (std::chrono::steady_clock::now() < end);
}

// Pumps until the condition holds, at most 5 s.
bool PumpUntil(PortWindow& window, const std::function<bool()>& condition) {
    for (int i = 0; i < 500; ++i) {
        if (condition()) return true;
        Pump(window, 10);
    }
    return condition();
}

struct XWindowPlace {
    int x = 0, y = 0, width = 0, height = 0;  // the client area on the screen
    int pointerX = 0, pointerY = 0;           // the pointer on the screen
};

XWindowPlace PlaceOf(PortWindow& window) {
    XWindowPlace place;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(static_cast<SDL_Window*>(window.NativeWindow()), &info)) return place;
    Display* display = info.info.x11.display;
    XWindowAttributes attributes;
    XGetWindowAttributes(display, info.info.x11.window, &attributes);
    Window child = 0;
    XTranslateCoordinates(display, info.info.x11.window, DefaultRootWindow(display), 0, 0, &place.x, &place.y, &child);
    place.width = attributes.width;
    place.height = attributes.height;
    Window root = 0;
    int x = 0, y = 0;
    unsigned int mask = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &place.pointerX, &place.pointerY, &x, &y, &mask);
    return place;
}

Window XWindowOf(PortWindow& window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    SDL_GetWindowWMInfo(static_cast<SDL_Window*>(window.NativeWindow()), &info);
    return info.info.x11.window;
}

// Puts the pointer on a screen point through a connection of the test's own.
void PointerTo(const std::string& display, int x, int y) {
    Display* connection = XOpenDisplay(display.c_str());
    if (!connection) return;
    XWarpPointer(connection, None, DefaultRootWindow(connection), 0, 0, 0, 0, x, y);
    XSync(connection, False);
    XCloseDisplay(connection);
}

// Moves a window through a connection of the test's own, as a window
// manager would (a program's own move announces no move back to it).
void MoveFromOutside(const std::string& display, Window window, int x, int y) {
    Display* connection = XOpenDisplay(display.c_str());
    if (!connection) return;
    XMoveWindow(connection, window, x, y);
    XSync(connection, False);
    XCloseDisplay(connection);
}

std::unique_ptr<PortWindow> MakeWindow(ChildChecks& checks, int width, int height) {
    std::string error;
    std::unique_ptr<PortWindow> window = PortWindow::Create("Q4nto", width, height, &error);
    checks.Expect(window != nullptr, "no window: " + error);
    if (window) Pump(*window, 200);
    return window;
}

TEST_F(PortWindowX11Test, WithoutAWindowManagerFullScreenIsNotAskedAndASizeRequestWorksAtOnce) {
    InChild([](ChildChecks& checks) {
        std::unique_ptr<PortWindow> window = MakeWindow(checks, 320, 240);
        if (!window) return;
        DisplayServer& server = DisplayServer::Current();
        checks.Expect(!server.CanFullScreen(window->NativeWindow()), "full screen said possible without a manager");
        checks.Expect(!window->RequestFullScreen(true), "full screen asked for without a manager");
        Pump(*window, 300);
        checks.Expect(!window->IsFullScreen(), "window said to be full screen");
        window->SetClientSize(400, 300);
        std::vector<WindowEvent> events;
        Pump(*window, 300, &events);
        const XWindowPlace place = PlaceOf(*window);
        checks.Expect(place.width == 400 && place.height == 300,
                      "X window is " + Pair(place.width, place.height) + ", not 400,300");
        int resized = 0;
        for (const WindowEvent& e : events)
            if (e.kind == WindowEventKind::Resized && e.rect.right == 400 && e.rect.bottom == 300) ++resized;
        checks.Expect(resized == 1, "Resized to 400,300 came " + std::to_string(resized) + " times");
    });
}

TEST_F(PortWindowX11Test, ASizeChangeKeepsTheCentreAndTheGameSeesThePointerWhereItRests) {
    const std::string display = server_.Name();
    InChild([display](ChildChecks& checks) {
        std::unique_ptr<PortWindow> window = MakeWindow(checks, 640, 480);
        if (!window) return;
        SDL_SetWindowPosition(static_cast<SDL_Window*>(window->NativeWindow()), 300, 200);
        Pump(*window, 200);
        const XWindowPlace before = PlaceOf(*window);
        checks.Expect(before.x == 300 && before.y == 200, "window not placed: " + Pair(before.x, before.y));
        // The pointer rests on a button 70 px right of and 50 px above the centre.
        PointerTo(display, 300 + 320 + 70, 200 + 240 - 50);
        Pump(*window, 200);
        window->SetClientSize(400, 300);
        std::vector<WindowEvent> events;
        Pump(*window, 400, &events);
        const XWindowPlace after = PlaceOf(*window);
        checks.Expect(after.x + after.width / 2 == 620 && after.y + after.height / 2 == 440,
                      "centre moved to " + Pair(after.x + after.width / 2, after.y + after.height / 2));
        checks.Expect(after.pointerX == 690 && after.pointerY == 390,
                      "pointer moved to " + Pair(after.pointerX, after.pointerY));
        checks.Expect(window->MouseX() == 200 + 70 && window->MouseY() == 150 - 50,
                      "game sees the pointer at " + Pair(window->MouseX(), window->MouseY()));
        bool moved = false;
        for (const WindowEvent& e : events) moved |= e.kind == WindowEventKind::MouseMove && e.x == 270 && e.y == 100;
        checks.Expect(moved, "no MouseMove to the pointer's new client place");

        // Grown past the screen's edge: the frame stays on the screen.
        SDL_SetWindowPosition(static_cast<SDL_Window*>(window->NativeWindow()), 0, 0);
        Pump(*window, 200);
        window->SetClientSize(1000, 700);
        Pump(*window, 300);
        const XWindowPlace grown = PlaceOf(*window);
        checks.Expect(grown.x >= 0 && grown.y >= 0 && grown.x + 1000 <= XServer::kWidth,
                      "grown window off the screen at " + Pair(grown.x, grown.y));
    });
}

// A window manager may place the client area a moment after the new size
// (a title bar put back on leaving full screen); moved here as it would.
TEST_F(PortWindowX11Test, APointerKeptAtASizeChangeGoesWithTheWindowPlacedAMomentLaterButNotLater) {
    const std::string display = server_.Name();
    InChild([display](ChildChecks& checks) {
        std::unique_ptr<PortWindow> window = MakeWindow(checks, 640, 480);
        if (!window) return;
        SDL_Window* sdlWindow = static_cast<SDL_Window*>(window->NativeWindow());
        SDL_SetWindowPosition(sdlWindow, 300, 200);
        Pump(*window, 200);
        PointerTo(display, 300 + 320 + 70, 200 + 240 - 50);
        Pump(*window, 200);
        window->SetClientSize(400, 300);
        bool resized = false;
        for (int i = 0; i < 500 && !resized; ++i) {
            WindowEvent e;
            while (window->PollEvent(&e)) resized |= e.kind == WindowEventKind::Resized;
            if (!resized) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        checks.Expect(resized, "no Resized event");
        const auto pointerIn = [&](int x, int y) {
            const XWindowPlace place = PlaceOf(*window);
            return place.pointerX - place.x == x && place.pointerY - place.y == y;
        };
        const auto where = [&] {
            const XWindowPlace place = PlaceOf(*window);
            return Pair(place.pointerX - place.x, place.pointerY - place.y) + " in the window";
        };
        const XWindowPlace sized = PlaceOf(*window);
        MoveFromOutside(display, XWindowOf(*window), sized.x, sized.y + 25);
        checks.Expect(PumpUntil(*window, [&] { return PlaceOf(*window).y == sized.y + 25 && pointerIn(270, 100); }),
                      "placed at once: pointer at " + where());
        checks.Expect(window->MouseX() == 270 && window->MouseY() == 100,
                      "game sees the pointer at " + Pair(window->MouseX(), window->MouseY()));
        // Well after the size change a move is the player's or the manager's
        // own: the pointer stays where it is on the screen.
        Pump(*window, 1200);
        MoveFromOutside(display, XWindowOf(*window), sized.x, sized.y + 50);
        checks.Expect(PumpUntil(*window, [&] { return PlaceOf(*window).y == sized.y + 50; }), "not moved");
        Pump(*window, 200);
        checks.Expect(pointerIn(270, 75), "placed later: pointer at " + where());
    });
}

TEST_F(PortWindowX11Test, TheWindowTakesTheKeyboardFocusWhenShown) {
    if (!server_.StartWindowManager()) GTEST_SKIP() << "openbox is not installed";
    const XServer* server = &server_;
    const std::string display = server_.Name();
    InChild([server, display](ChildChecks& checks) {
        // SDL looks for a window manager once, when its video starts: here
        // one runs then and is gone when the window is shown.
        checks.Expect(SDL_InitSubSystem(SDL_INIT_VIDEO) == 0, "no SDL video");
        ::kill(server->ManagerPid(), SIGTERM);
        for (int i = 0; i < 500 && server->WindowManagerRuns(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        Display* connection = XOpenDisplay(display.c_str());
        XSetInputFocus(connection, None, RevertToNone, CurrentTime);
        XSync(connection, False);
        std::unique_ptr<PortWindow> window = MakeWindow(checks, 320, 240);
        if (!window) return;
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(connection, &focus, &revert);
        checks.Expect(focus == XWindowOf(*window), "the focus is on " + std::to_string(focus));
        XCloseDisplay(connection);
    });
}

TEST_F(PortWindowX11Test, WithAWindowManagerFullScreenComesAndThePointerStaysOnItsPointFromTheCentre) {
    if (!server_.StartWindowManager()) GTEST_SKIP() << "openbox is not installed";
    const std::string display = server_.Name();
    InChild([display](ChildChecks& checks) {
        std::unique_ptr<PortWindow> window = MakeWindow(checks, 640, 480);
        if (!window) return;
        checks.Expect(DisplayServer::Current().CanFullScreen(window->NativeWindow()), "openbox cannot full screen");
        const XWindowPlace windowed = PlaceOf(*window);
        PointerTo(display, windowed.x + 320 + 100, windowed.y + 240 + 60);
        Pump(*window, 200);
        checks.Expect(window->RequestFullScreen(true), "full screen not asked for");
        checks.Expect(PumpUntil(*window, [&] { return window->IsFullScreen() && PlaceOf(*window).width == 1280; }),
                      "not full screen");
        Pump(*window, 300);
        const XWindowPlace full = PlaceOf(*window);
        checks.Expect(full.pointerX == 640 + 100 && full.pointerY == 512 + 60,
                      "full screen: pointer at " + Pair(full.pointerX, full.pointerY));
        checks.Expect(window->RequestFullScreen(false), "windowed not asked for");
        checks.Expect(PumpUntil(*window, [&] { return !window->IsFullScreen() && PlaceOf(*window).width == 640; }),
                      "not windowed again");
        Pump(*window, 300);
        const XWindowPlace back = PlaceOf(*window);
        checks.Expect(
            back.pointerX == back.x + 320 + 100 && back.pointerY == back.y + 240 + 60,
            "windowed: pointer at " + Pair(back.pointerX - back.x, back.pointerY - back.y) + " in the window");
    });
}

// The window manager puts a window leaving full screen back where it was
// before; a size picked in full screen must not leave it overhanging the
// screen there, nor that off-centre place for the size changes after it.
TEST_F(PortWindowX11Test, ASizePickedInFullScreenComesBackCentredInsideTheScreen) {
    if (!server_.StartWindowManager()) GTEST_SKIP() << "openbox is not installed";
    InChild([](ChildChecks& checks) {
        std::unique_ptr<PortWindow> window = MakeWindow(checks, 1024, 768);
        if (!window) return;
        checks.Expect(window->RequestFullScreen(true), "full screen not asked for");
        checks.Expect(PumpUntil(*window, [&] { return window->IsFullScreen() && PlaceOf(*window).width == 1280; }),
                      "not full screen");
        window->SetClientSize(1280, 720);
        Pump(*window, 200);
        checks.Expect(window->RequestFullScreen(false), "windowed not asked for");
        const auto centredInside = [&](int width, int height) {
            const XWindowPlace place = PlaceOf(*window);
            int top = 0;
            SDL_GetWindowBordersSize(static_cast<SDL_Window*>(window->NativeWindow()), &top, nullptr, nullptr, nullptr);
            // Centred on the screen (the frame's side may push it a pixel), the title bar on it.
            return !window->IsFullScreen() && place.width == width && place.height == height &&
                   std::abs(place.x + width / 2 - XServer::kWidth / 2) <= 1 &&
                   place.y + height / 2 == XServer::kHeight / 2 && place.y - top >= 0;
        };
        const auto where = [&] {
            const XWindowPlace place = PlaceOf(*window);
            return Pair(place.width, place.height) + " at " + Pair(place.x, place.y);
        };
        checks.Expect(PumpUntil(*window, [&] { return centredInside(1280, 720); }), "windowed: " + where());
        Pump(*window, 500);
        checks.Expect(centredInside(1280, 720), "windowed, later: " + where());
        window->SetClientSize(800, 600);
        checks.Expect(PumpUntil(*window, [&] { return centredInside(800, 600); }), "800x600: " + where());
    });
}

TEST_F(PortWindowX11Test, TheWindowsServerGoingAwayIsNamedAndTheRunGoesOn) {
    const pid_t serverPid = server_.Pid();
    const std::string display = server_.Name();
    InChild([serverPid, display](ChildChecks& checks) {
        std::unique_ptr<PortWindow> window = MakeWindow(checks, 320, 240);
        if (!window) return;
        checks.Expect(DisplayLoss::LostDisplay() == nullptr, "lost before the server went");
        ::kill(serverPid, SIGTERM);
        // Every call on the connection returns; the pump goes on.
        for (int i = 0; i < 100 && !DisplayLoss::LostDisplay(); ++i) {
            Pump(*window, 20);
            window->SetClientSize(400, 300);
        }
        const char* lost = DisplayLoss::LostDisplay();
        checks.Expect(lost && std::string(lost) == display, std::string("lost: ") + (lost ? lost : "none"));
        Pump(*window, 100);
        window.reset();
    });
}

// Connections other than the window's cannot go on: the hook runs and the
// process ends with the display-loss status, not Xlib's silent 1.
TEST_F(PortWindowX11Test, AnotherConnectionLostEndsTheProcessAfterTheHook) {
    const pid_t serverPid = server_.Pid();
    const std::string display = server_.Name();
    ChildProcess child = ChildProcess::Fork(MakeTempFolder(), [serverPid, display] {
        DisplayLoss::Install();
        DisplayLoss::SetExitHook([](const char* name) {
            const std::string text = std::string("hook: ") + name + "\n";
            [[maybe_unused]] const ssize_t n = ::write(2, text.data(), text.size());
        });
        Display* connection = XOpenDisplay(display.c_str());
        if (!connection) ::_exit(20);
        ::kill(serverPid, SIGTERM);
        for (int i = 0; i < 500; ++i) {
            XSync(connection, False);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ::_exit(21);
    });
    const ChildResult result = child.Wait(60);
    ASSERT_FALSE(result.timedOut);
    EXPECT_TRUE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == DisplayLoss::kExitStatus)
        << result.status << "\n"
        << result.errorText;
    EXPECT_NE(result.errorText.find("hook: lost the display " + display), std::string::npos) << result.errorText;
}

// A socket whose peer looks like an X server (a TCP port 6000 + n), shut by
// that peer; the display's name for it in *name, -1 when no port is free.
int ClosedTcpXConnection(std::string* name) {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    for (int n = 90; n < 100; ++n) {
        address.sin_port = htons(static_cast<uint16_t>(6000 + n));
        if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) continue;
        ::listen(listener, 1);
        const int client = ::socket(AF_INET, SOCK_STREAM, 0);
        if (::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) break;
        ::close(::accept(listener, nullptr, nullptr));
        ::close(listener);
        *name = "127.0.0.1:" + std::to_string(n);
        return client;
    }
    ::close(listener);
    return -1;
}

// A fault of the program's own code (this binary's), where a null write is
// read from a volatile so that the compiler cannot see it coming.
volatile uintptr_t gNowhere = 0;
__attribute__((noinline, no_sanitize("undefined"))) void FaultInOwnCode() {
    *reinterpret_cast<volatile int*>(gNowhere) = 1;
}

// A crash outside the program's own code after the server of one of the
// process's X connections closed it (the GL driver reading an answer that
// never came) ends as the display's loss: the hook, then its status, no
// dumps. Any other crash is reported as before, with the three dumps and its
// signal.
TEST_F(PortWindowX11Test, ACrashAfterTheXServerClosedTheConnectionEndsAsTheDisplaysLoss) {
    enum class Peer { XServerGone, XServerThere, TcpXServerGone, OtherSocketGone };
    const struct {
        Peer peer;
        bool ownCode;  // the fault is in the program's code, not a library's
        bool loss;
    } cases[] = {{Peer::XServerGone, false, true},
                 {Peer::XServerThere, false, false},
                 {Peer::TcpXServerGone, false, true},
                 {Peer::OtherSocketGone, false, false},
                 {Peer::XServerGone, true, false}};
    for (const auto& c : cases) {
        XServer server;
        const pid_t serverPid = server.Pid();
        const std::string dir = MakeTempFolder();
        ChildProcess child = ChildProcess::Fork(dir, [&] {
            std::string name = server.Name();
            int socket = -1;
            if (c.peer == Peer::TcpXServerGone) {
                socket = ClosedTcpXConnection(&name);
                if (socket < 0) ::_exit(77);
            } else if (c.peer == Peer::OtherSocketGone) {
                int pair[2];
                ::socketpair(AF_UNIX, SOCK_STREAM, 0, pair);
                ::close(pair[1]);
                socket = pair[0];
            }
            ::setenv("DISPLAY", name.c_str(), 1);
            InstallCrashHandlers();
            SetCrashDiversion(&DisplayLoss::EndIfServerGone);
            DisplayLoss::Install();
            DisplayLoss::SetExitHook([](const char* why) {
                const std::string text = std::string("hook: ") + why + "\n";
                [[maybe_unused]] const ssize_t n = ::write(2, text.data(), text.size());
            });
            Display* connection = XOpenDisplay(server.Name().c_str());
            if (!connection) ::_exit(20);
            if (c.peer == Peer::XServerGone) {
                ::kill(serverPid, SIGTERM);
                socket = ConnectionNumber(connection);
            }
            pollfd hangUp{socket, POLLRDHUP, 0};
            if (socket >= 0 && ::poll(&hangUp, 1, 10000) != 1) ::_exit(21);
            if (c.ownCode) FaultInOwnCode();
            ::raise(SIGSEGV);
        });
        const ChildResult result = child.Wait(60);
        ASSERT_FALSE(result.timedOut);
        if (WIFEXITED(result.status) && WEXITSTATUS(result.status) == 77) continue;  // no TCP port free
        const bool dumped = ::access((dir + "/Sparse.dmp").c_str(), F_OK) == 0;
        std::filesystem::remove_all(dir);
        if (c.loss) {
            EXPECT_TRUE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == DisplayLoss::kExitStatus)
                << static_cast<int>(c.peer) << (c.ownCode ? " in own code" : "") << ": status " << result.status << "\n"
                << result.errorText;
            EXPECT_NE(result.errorText.find("hook: lost the display "), std::string::npos) << result.errorText;
            EXPECT_NE(result.errorText.find(" (its X server closed the connection) and the GL driver failed on it"),
                      std::string::npos)
                << result.errorText;
            EXPECT_FALSE(dumped) << static_cast<int>(c.peer);
        } else {
            EXPECT_TRUE(WIFSIGNALED(result.status) && WTERMSIG(result.status) == SIGSEGV)
                << static_cast<int>(c.peer) << (c.ownCode ? " in own code" : "") << ": status " << result.status << "\n"
                << result.errorText;
            EXPECT_TRUE(dumped) << static_cast<int>(c.peer);
        }
    }
}

// A refused save's box over a 1,280-pixel window: the box is as wide as its
// longest line, so its text is wrapped to keep it to three quarters of the
// window (one line, it was some 2,500 pixels wide).
TEST_F(PortWindowX11Test, AMessageBoxKeepsALongTextWithinTheWindow) {
    const std::string display = server_.Name();
    InChild([display](ChildChecks& checks) {
        std::unique_ptr<PortWindow> window = MakeWindow(checks, 1280, 720);
        if (!window) return;
        const Window own = XWindowOf(*window);
        // The box waits for OK: a connection of the test's own measures the
        // one other window on the screen, then ends the box's connection,
        // which closes it. The connection is opened before the box: SDL shows
        // the box from a forked process, and a fork while another thread is
        // inside XOpenDisplay leaves Xlib's lock held in the fork for ever.
        Display* connection = XOpenDisplay(display.c_str());
        std::thread watcher([connection, own, &checks] {
            Window box = 0;
            int width = 0;
            for (int i = 0; i < 500 && connection && box == 0; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                Window root = 0, parent = 0, *children = nullptr;
                unsigned int count = 0;
                XQueryTree(connection, DefaultRootWindow(connection), &root, &parent, &children, &count);
                for (unsigned int c = 0; c < count; ++c) {
                    XWindowAttributes attributes;
                    if (children[c] != own && XGetWindowAttributes(connection, children[c], &attributes) &&
                        attributes.map_state == IsViewable) {
                        box = children[c];
                        width = attributes.width;
                    }
                }
                if (children) XFree(children);
            }
            checks.Expect(box != 0, "no box was shown");
            checks.Expect(width <= 1280 * 3 / 4, "the box is " + std::to_string(width) + " pixels wide");
            if (box == 0) checks.Finish();
            XKillClient(connection, box);
            XCloseDisplay(connection);
        });
        PresentWindowMessageBox(
            "cannot write /home/designer/levels/scene/Forward_Momentum_draft.scn: it holds RockInstances (2 objects), "
            "whose archetypes its Archetypes list does not name; they were not loaded, and the save would lose "
            "them. Name their archetypes in that list (or remove those tables) and load the file again, or save "
            "under another name; nothing was written",
            "Save scene failed");
        watcher.join();
    });
}

}  // namespace

// A start whose render device failed because the server went away while it
// was made ends as a lost display: the closed connection is found and named.
TEST_F(PortWindowX11Test, AConnectionWhoseServerWentAwayIsFoundAsTheLostDisplay) {
    const std::string display = server_.Name();
    const pid_t server = server_.Pid();
    InChild([&](ChildChecks& checks) {
        ::setenv("DISPLAY", display.c_str(), 1);
        DisplayLoss::Install();
        Display* connection = XOpenDisplay(display.c_str());  // left open: the server goes under it
        checks.Expect(connection != nullptr, "no connection to " + display);
        checks.Expect(!DisplayLoss::FoundServerGone(), "a live server was taken for gone");
        ::kill(server, SIGTERM);
        bool found = false;
        for (int i = 0; i < 200 && !found; ++i) {
            found = DisplayLoss::FoundServerGone();
            if (!found) std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
        checks.Expect(found, "the closed connection was not found");
        const char* lost = DisplayLoss::LostDisplay();
        checks.Expect(lost && display == lost, std::string("the lost display is ") + (lost ? lost : "none"));
    });
}
