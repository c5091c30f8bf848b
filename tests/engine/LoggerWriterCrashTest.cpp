// A fault on the log's writer thread is reported like one on the main thread.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <csignal>
#include <filesystem>

#include "engine/Logger.h"
#include "port/crash/CrashHandler.h"
#include "tests/port/ChildProcess.h"
#include "tests/port/CrashDumpReader.h"

__attribute__((noinline)) int WriterCrashRecurse(int depth) {
    volatile char padding[1024];
    padding[0] = static_cast<char>(depth);
    if (depth > 1 << 30) return 0;
    return WriterCrashRecurse(depth + 1) + padding[0];
}

namespace {
void OverflowTheWriterStack() {
    WriterCrashRecurse(0);
}

TEST(LoggerWriterCrashTest, StackOverflowOnWriterThreadWritesThreeDumps) {
    std::string dir = MakeTempFolder();
    ChildProcess child = ChildProcess::Fork(dir, [] {
        InstallCrashHandlers();
        LogWriter::SetBeforeBatchHookForTest(&OverflowTheWriterStack);
        Logger logger("log/", ".log");  // hands the header to the writer
        for (;;) logger.FlushFrame(10);
    });
    ChildResult result = child.Wait();
    ASSERT_FALSE(result.timedOut);
    EXPECT_TRUE(WIFSIGNALED(result.status) && WTERMSIG(result.status) == SIGSEGV) << result.status;
    for (const char* name : {"Sparse.dmp", "Indirect.dmp", "Verbose.dmp"}) {
        ParsedDump dump = ParseDump(ReadWholeFile(dir + "/" + name));
        EXPECT_TRUE(dump.wellFormed) << name << ": " << dump.error;
        EXPECT_NE(dump.Value("thread"), dump.Value("process")) << "reported on the writer thread";
    }
    EXPECT_NE(result.errorText.find("FATAL ERROR: Writing crash report..."), std::string::npos);
    std::filesystem::remove_all(dir);
}

TEST(LoggerWriterCrashTest, LogFolderFailureEndsInCrashReport) {
    std::string dir = MakeTempFolder();
    ChildProcess child = ChildProcess::Fork(dir, [] {
        InstallCrashHandlers();
        {
            OsFile blocker;
            blocker.CreateForAppend("log");
        }
        Logger logger("log/", ".log");
    });
    ChildResult result = child.Wait();
    EXPECT_TRUE(WIFSIGNALED(result.status) && WTERMSIG(result.status) == SIGABRT) << result.status;
    ParsedDump dump = ParseDump(ReadWholeFile(dir + "/Sparse.dmp"));
    EXPECT_EQ(dump.Value("reason").rfind("uncaught exception: u32 ", 0), 0u) << dump.Value("reason");
    std::filesystem::remove_all(dir);
}
}  // namespace
