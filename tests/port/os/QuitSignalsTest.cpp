#include "port/os/QuitSignals.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>

#include "tests/port/ChildProcess.h"

namespace {

void WriteHookRow(int signal) {
    const std::string row = "hook " + std::to_string(signal) + "\n";
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
    return child.Wait(10);
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

}  // namespace
