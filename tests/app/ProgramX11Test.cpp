// Runs the real executable on a real X server of the test's own (Xvfb, no
// window manager) and takes the server away: while the game runs, and while
// it is still starting (its window just shown, the GL driver setting up).
// Either way the log names the lost display and is written to its end, the
// program shuts down in order (or, where Xlib or the GL driver cannot go on,
// is ended at once, so said) and ends with the display-loss status, instead
// of Xlib's silent exit 1 or a crash. A display that cannot be reached at
// start ends the start, instead of a run without a window.
// Skipped without Xvfb.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "port/window/DisplayLoss.h"
#include "tests/port/ChildProcess.h"
#include "tests/support/TempAssetRoot.h"
#include "tests/support/XServer.h"
// After the test framework: Xlib's macros (None, Bool) would break its headers.
#include <X11/Xlib.h>

namespace {

// The log's messages (the last column of each row), in order.
std::vector<std::string> Messages(const std::string& log) {
    std::vector<std::string> messages;
    size_t at = log.find("message\n\n");
    if (at == std::string::npos) return messages;
    at += 9;
    while (at < log.size()) {
        const size_t end = log.find('\n', at);
        if (end == std::string::npos) break;
        const std::string row = log.substr(at, end - at);
        if (!row.empty()) messages.push_back(row.substr(row.rfind('\t') + 1));
        at = end + 1;
    }
    return messages;
}

class ProgramX11Test : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server_.Running()) GTEST_SKIP() << "Xvfb is not installed";
        ::setenv("DISPLAY", server_.Name().c_str(), 1);
        ::unsetenv("SDL_VIDEODRIVER");
    }

    std::string Log() const { return ReadWholeFile(root_.Dir() + "/log/Application.log"); }

    size_t FrameCount() const {
        size_t count = 0;
        for (const std::string& message : Messages(Log())) count += message.rfind("FRAMETIME: ", 0) == 0;
        return count;
    }

    // The program's end after the server went: the display-loss status, the
    // loss named on stderr and in the log, the shutdown rows to the end.
    void ExpectLossHandled(ChildProcess& program) {
        server_.Kill();  // no-op when the test has ended it already
        const ChildResult result = program.Wait(120);
        ASSERT_FALSE(result.timedOut) << result.errorText;
        EXPECT_TRUE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == DisplayLoss::kExitStatus)
            << "status " << result.status << "\n"
            << result.errorText;
        const std::string lost = "lost the display " + server_.Name();
        EXPECT_NE(result.errorText.find(lost), std::string::npos) << result.errorText;
        const std::vector<std::string> messages = Messages(Log());
        ASSERT_FALSE(messages.empty());
        size_t named = messages.size();
        for (size_t i = 0; i < messages.size() && named == messages.size(); ++i)
            if (messages[i].find("WindowsSystem: " + lost) == 0) named = i;
        ASSERT_LT(named, messages.size()) << "no row names the lost display";
        // In order to the log itself; or ended at once, so said: on a
        // connection Xlib cannot go on from, a GL driver that crashed on the
        // server gone, or one stuck waiting for it past the grace time.
        const bool inOrder = messages.back() == "Shutdown: Logger";
        const std::string& last = messages.back();
        const std::string atOnceEnd = "; ending at once";
        const bool atOnce = last.find("WindowsSystem: " + lost + " (its X server closed the connection)") == 0 &&
                            last.size() > atOnceEnd.size() &&
                            last.compare(last.size() - atOnceEnd.size(), atOnceEnd.size(), atOnceEnd) == 0;
        EXPECT_TRUE(inOrder || atOnce) << last;
    }

    // Whether a window is mapped on the screen within the given seconds; the
    // connection watches the root's children (SubstructureNotifyMask).
    static bool WaitForMap(Display* watch, int seconds) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        pollfd readable{ConnectionNumber(watch), POLLIN, 0};
        while (std::chrono::steady_clock::now() < deadline) {
            while (XPending(watch) > 0) {
                XEvent event;
                XNextEvent(watch, &event);
                if (event.type == MapNotify) return true;
            }
            ::poll(&readable, 1, 10);
        }
        return false;
    }

    XServer server_;
    TempAssetRoot root_{TempAssetRoot::Contents::WholeTree, false};
};

TEST_F(ProgramX11Test, TheServerGoingAwayWhileTheGameRunsIsLoggedAndEndsTheRunInOrder) {
    ChildProcess program = ChildProcess::Exec(root_.Dir(), {DD_EXECUTABLE});
    bool running = false;
    for (int i = 0; i < 1200 && !running; ++i) {
        running = FrameCount() >= 5;
        if (!running) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_TRUE(running) << Log();
    ExpectLossHandled(program);
}

TEST_F(ProgramX11Test, TheServerGoingAwayDuringStartUpIsLoggedAndEndsTheRunInOrder) {
    // The server goes the moment the window is mapped, before the GL driver
    // has drawn on it. A busy machine may still let the first frames pass
    // first; that run is no start-up case, so it is made again on a new
    // server (the server and the log are the test's own).
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (attempt > 0) {
            server_.Restart();
            ASSERT_TRUE(server_.Running());
            ::setenv("DISPLAY", server_.Name().c_str(), 1);
            std::filesystem::remove(root_.Dir() + "/log/Application.log");
        }
        Display* watch = XOpenDisplay(server_.Name().c_str());
        ASSERT_NE(watch, nullptr);
        XSelectInput(watch, DefaultRootWindow(watch), SubstructureNotifyMask);
        XSync(watch, False);
        ChildProcess program = ChildProcess::Exec(root_.Dir(), {DD_EXECUTABLE});
        const bool mapped = WaitForMap(watch, 60);
        // Closed before the server goes: Xlib would end this process on the loss.
        XCloseDisplay(watch);
        if (!mapped) {
            program.Signal(SIGKILL);
            FAIL() << "no window shown: " << program.Wait().errorText;
        }
        server_.Kill();
        if (FrameCount() > 0 && attempt < 3) {
            program.Wait(120);
            continue;
        }
        EXPECT_EQ(FrameCount(), 0u) << "the frames had begun in every attempt";
        ExpectLossHandled(program);
        return;
    }
}

TEST_F(ProgramX11Test, ANamedDisplayThatCannotBeReachedEndsTheStartNamingIt) {
    const std::string display = ":59123";  // far above the numbers servers take
    if (::access("/tmp/.X11-unix/X59123", F_OK) == 0) GTEST_SKIP() << display << " has a server";
    ::setenv("DISPLAY", display.c_str(), 1);
    // SDL_VIDEODRIVER unset, then empty: neither chooses a driver.
    for (const bool empty : {false, true}) {
        if (empty) ::setenv("SDL_VIDEODRIVER", "", 1);
        const char* driver = empty ? "SDL_VIDEODRIVER empty" : "SDL_VIDEODRIVER unset";
        ChildProcess program = ChildProcess::Exec(root_.Dir(), {DD_EXECUTABLE});
        const ChildResult result = program.Wait(30);
        ASSERT_FALSE(result.timedOut) << driver << ": it ran on without a window; " << FrameCount() << " frames";
        EXPECT_TRUE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == 1) << driver << ": " << result.status;
        EXPECT_NE(result.errorText.find("CreateWindow FAILED: no window could be made (SDL video: cannot reach the "
                                        "display DISPLAY=" +
                                        display),
                  std::string::npos)
            << driver << ": " << result.errorText;
        EXPECT_EQ(FrameCount(), 0u) << driver;
    }
    ::unsetenv("SDL_VIDEODRIVER");
}

// A server gone before the window exists, with SDL_VIDEODRIVER choosing
// the X11 driver itself (as SDL reads it: any letter case, in a list).
TEST_F(ProgramX11Test, ADisplayWhoseServerIsGoneIsNamedAlsoWhenItsDriverIsChosen) {
    const std::string display = ":59124";  // far above the numbers servers take
    if (::access("/tmp/.X11-unix/X59124", F_OK) == 0) GTEST_SKIP() << display << " has a server";
    ::setenv("DISPLAY", display.c_str(), 1);
    for (const char* driver : {"x11", "X11", "wayland,x11"}) {
        ::setenv("SDL_VIDEODRIVER", driver, 1);
        ChildProcess program = ChildProcess::Exec(root_.Dir(), {DD_EXECUTABLE});
        const ChildResult result = program.Wait(30);
        ASSERT_FALSE(result.timedOut) << driver;
        EXPECT_TRUE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == 1) << driver << ": " << result.status;
        EXPECT_NE(result.errorText.find("cannot reach the display DISPLAY=" + display), std::string::npos)
            << driver << ": " << result.errorText;
    }
    ::unsetenv("SDL_VIDEODRIVER");
}

}  // namespace
