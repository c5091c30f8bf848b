#include "port/os/QuitSignals.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/port/ChildProcess.h"

namespace {

// A child that has not ended after this long never will.
constexpr int kHungSeconds = 30;

void WriteHookRow(int signal, bool frameStuck) {
    const std::string row = "hook " + std::to_string(signal) + (frameStuck ? " stuck" : "") + "\n";
    [[maybe_unused]] const ssize_t ignored = ::write(STDERR_FILENO, row.data(), row.size());
}

// In a child: the handlers, the exit hook, optionally a running frame loop;
// then the signal once, a row, the signal again, and waiting for good.
ChildResult RunSignalledChild(int signal, bool loopStarted) {
    ChildProcess child = ChildProcess::Fork("/", [&] {
        InstallQuitSignalHandlers();
        SetQuitSignalExitHook(&WriteHookRow);
        if (loopStarted) MarkFrameLoopStarted();
        std::raise(signal);
        // Before the loop the watcher ends the process at once: no row.
        while (!loopStarted) ::pause();
        std::fprintf(stderr, "asked to quit: %d\n", QuitSignalReceived() ? 1 : 0);
        std::raise(signal);
        for (;;) ::pause();
    });
    return child.Wait(kHungSeconds);
}

TEST(QuitSignalsTest, FirstSignalInTheLoopOnlyAsksAndASecondOneEndsTheProcessAfterTheHook) {
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        const ChildResult result = RunSignalledChild(signal, true);
        ASSERT_FALSE(result.timedOut) << signal;
        ASSERT_TRUE(WIFEXITED(result.status)) << signal;
        EXPECT_EQ(WEXITSTATUS(result.status), 128 + signal);
        EXPECT_EQ(result.errorText, "asked to quit: 1\nhook " + std::to_string(signal) + "\n");
    }
}

TEST(QuitSignalsTest, SignalBeforeTheLoopEndsTheProcessAtOnceAfterTheHook) {
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        const ChildResult result = RunSignalledChild(signal, false);
        ASSERT_FALSE(result.timedOut) << signal;
        ASSERT_TRUE(WIFEXITED(result.status)) << signal;
        EXPECT_EQ(WEXITSTATUS(result.status), 128 + signal);
        EXPECT_EQ(result.errorText, "hook " + std::to_string(signal) + "\n");
    }
}

TEST(QuitSignalsTest, FirstSignalDuringAFrameThatNeverEndsEndsTheProcessAfterTheGraceTime) {
    // The frame loop has started and the running frame never polls the
    // request again (a runaway level): the process must still end, after the
    // grace time. The bound only tells a process that never ends from one
    // that a busy machine ends late.
    const auto start = std::chrono::steady_clock::now();
    ChildProcess child = ChildProcess::Fork("/", [] {
        InstallQuitSignalHandlers();
        SetQuitSignalExitHook(&WriteHookRow);
        MarkFrameLoopStarted();
        std::raise(SIGTERM);
        std::atomic<unsigned long> spin{0};
        for (;;) spin.fetch_add(1, std::memory_order_relaxed);
    });
    const ChildResult result = child.Wait(kHungSeconds);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_FALSE(result.timedOut);
    ASSERT_TRUE(WIFEXITED(result.status));
    EXPECT_EQ(WEXITSTATUS(result.status), 128 + SIGTERM);
    EXPECT_EQ(result.errorText, "hook 15 stuck\n");
    EXPECT_GE(seconds, kQuitGraceMilliseconds / 1000.0);
}

TEST(QuitSignalsTest, FrameThatEndsInItsGraceTimeKeepsTheProcessForTheOrderlyShutdown) {
    ChildProcess child = ChildProcess::Fork("/", [] {
        InstallQuitSignalHandlers();
        SetQuitSignalExitHook(&WriteHookRow);
        MarkFrameLoopStarted();
        std::raise(SIGTERM);
        // The loop sees the request at the frame's end, then shuts down for
        // longer than the grace time.
        while (!QuitSignalReceived()) {
        }
        ::usleep((kQuitGraceMilliseconds + 700) * 1000);
        std::fprintf(stderr, "orderly\n");
        ::_exit(0);
    });
    const ChildResult result = child.Wait(kHungSeconds);
    ASSERT_FALSE(result.timedOut);
    ASSERT_TRUE(WIFEXITED(result.status));
    EXPECT_EQ(WEXITSTATUS(result.status), 0);
    EXPECT_EQ(result.errorText, "orderly\n");
}

}  // namespace
