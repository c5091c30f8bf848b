// Crashes happen in forked children (each in its own temporary folder); the
// test reads the three dump files and the child's exit status and stderr.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "port/crash/CrashHandler.h"
#include "tests/port/ChildProcess.h"
#include "tests/port/CrashDumpReader.h"

// Kept out of line so that they show in backtraces. The null address is read
// from a volatile so that the compiler cannot see the fault coming, and the
// sanitizers' checks are left out so that the fault itself happens.
volatile std::uintptr_t gNowhere = 0;

extern "C" __attribute__((noinline, no_sanitize("undefined"))) void CrashTestNullWrite() {
    *reinterpret_cast<volatile int*>(gNowhere) = 42;
}

// Recurses until the stack runs out (the limit keeps the compiler from
// treating it as endless; no stack reaches it).
__attribute__((noinline)) int CrashTestRecurse(int depth) {
    volatile char padding[1024];
    padding[0] = static_cast<char>(depth);
    if (depth > 1 << 30) return 0;
    return CrashTestRecurse(depth + 1) + padding[0];
}

__attribute__((noinline, no_sanitize("undefined"))) int CrashTestDivideByZero() {
    volatile int zero = 0;
    return 7 / zero;
}

namespace {
const char* const kDumpNames[] = {"Sparse.dmp", "Indirect.dmp", "Verbose.dmp"};

class CrashHandlerTest : public ::testing::Test {
protected:
    void SetUp() override { dir_ = MakeTempFolder(); }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    ChildResult Crash(const std::function<void()>& fault) {
        ChildProcess child = ChildProcess::Fork(dir_, [&] {
            InstallCrashHandlers();
            fault();
        });
        return child.Wait();
    }

    ParsedDump Dump(int i) { return ParseDump(ReadWholeFile(dir_ + "/" + kDumpNames[i])); }

    // Every dump exists, is well formed and carries its kind, in order.
    void ExpectThreeDumps() {
        const char* kinds[] = {"Sparse", "Indirect", "Verbose"};
        for (int i = 0; i < 3; ++i) {
            ParsedDump dump = Dump(i);
            EXPECT_TRUE(dump.wellFormed) << kDumpNames[i] << ": " << dump.error;
            EXPECT_EQ(dump.Value("kind"), kinds[i]);
        }
    }

    std::string dir_;
};

bool DiedBySignal(const ChildResult& result, int signal) {
    return WIFSIGNALED(result.status) && WTERMSIG(result.status) == signal;
}

TEST_F(CrashHandlerTest, SegfaultInMainThreadWritesThreeDumpsThenReports) {
    ChildResult result = Crash([] { CrashTestNullWrite(); });
    ASSERT_FALSE(result.timedOut);
    EXPECT_TRUE(DiedBySignal(result, SIGSEGV)) << result.status;
    ExpectThreeDumps();

    ParsedDump sparse = Dump(0);
    EXPECT_EQ(sparse.Value("signal"), "11 SIGSEGV");
    EXPECT_EQ(sparse.Value("address"), "0x0000000000000000");
    EXPECT_EQ(sparse.Value("thread"), sparse.Value("process"));
    EXPECT_TRUE(sparse.HasLineStartingWith("  rip 0x"));
    EXPECT_TRUE(sparse.HasLineStartingWith("  #0 "));
    bool namedFrame = false;
    for (const std::string& line : sparse.lines)
        if (line.find("CrashTestNullWrite") != std::string::npos && line.rfind("  #0 ", 0) == 0) namedFrame = true;
    EXPECT_TRUE(namedFrame) << "the faulting function is the first frame";
    EXPECT_TRUE(sparse.HasLine("modules:"));
    EXPECT_TRUE(sparse.blocks.empty());

    // The report comes after the dumps and does not wait for anyone.
    EXPECT_NE(result.errorText.find("FATAL ERROR: Writing crash report..."), std::string::npos) << result.errorText;
    struct stat times[3];
    for (int i = 0; i < 3; ++i) ASSERT_EQ(::stat((dir_ + "/" + kDumpNames[i]).c_str(), &times[i]), 0);
    auto ns = [](const struct stat& s) { return s.st_mtim.tv_sec * 1000000000LL + s.st_mtim.tv_nsec; };
    EXPECT_LE(ns(times[0]), ns(times[1]));
    EXPECT_LE(ns(times[1]), ns(times[2]));
}

TEST_F(CrashHandlerTest, DumpsGrowInDetailByKind) {
    Crash([] { CrashTestNullWrite(); });
    ParsedDump sparse = Dump(0), indirect = Dump(1), verbose = Dump(2);
    ASSERT_TRUE(indirect.wellFormed) << indirect.error;
    ASSERT_TRUE(verbose.wellFormed) << verbose.error;
    ASSERT_FALSE(indirect.blocks.empty());
    EXPECT_EQ(indirect.blocks[0].label, "stack:");
    EXPECT_GT(indirect.blocks[0].size, 0u);
    EXPECT_GT(indirect.blocks.size(), 1u) << "pages that the stack points into";
    EXPECT_FALSE(indirect.HasLineStartingWith("mapping: "));
    EXPECT_TRUE(verbose.HasLineStartingWith("mapping: "));
    EXPECT_GT(verbose.blocks.size(), indirect.blocks.size());
    // Each dump starts with everything the previous kind holds.
    for (const std::string& line : sparse.lines)
        if (line != "kind: Sparse") {
            EXPECT_TRUE(indirect.HasLine(line)) << line;
        }
}

class CrashSignalTest : public CrashHandlerTest, public ::testing::WithParamInterface<int> {};

TEST_P(CrashSignalTest, RaisedSignalIsReportedAndEndsWithIt) {
    int signal = GetParam();
    ChildResult result = Crash([signal] { ::raise(signal); });
    ASSERT_FALSE(result.timedOut);
    EXPECT_TRUE(DiedBySignal(result, signal)) << result.status;
    ExpectThreeDumps();
    EXPECT_EQ(Dump(0).Value("signal").substr(0, std::to_string(signal).size()), std::to_string(signal));
}

INSTANTIATE_TEST_SUITE_P(AllCrashSignals, CrashSignalTest, ::testing::Values(SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT));

TEST_F(CrashHandlerTest, IntegerDivisionByZeroIsReported) {
    ChildResult result = Crash([] { CrashTestDivideByZero(); });
    EXPECT_TRUE(DiedBySignal(result, SIGFPE)) << result.status;
    EXPECT_EQ(Dump(0).Value("signal"), "8 SIGFPE");
}

TEST_F(CrashHandlerTest, UncaughtExceptionReportsOnceThroughTerminate) {
    ChildResult result = Crash([] { throw static_cast<std::uint32_t>(13); });
    ASSERT_FALSE(result.timedOut);
    EXPECT_NE(result.status, 0);
    EXPECT_TRUE(DiedBySignal(result, SIGABRT)) << result.status;
    ExpectThreeDumps();
    ParsedDump sparse = Dump(0);
    // The abort that ends the process must not write a second report.
    EXPECT_EQ(sparse.Value("signal"), "none (terminate)");
    EXPECT_EQ(sparse.Value("reason"), "uncaught exception: u32 13");
    EXPECT_TRUE(sparse.HasLineStartingWith("  #0 "));
    size_t reports = 0;
    for (size_t at = 0; (at = result.errorText.find("Writing crash report...", at)) != std::string::npos; ++at)
        ++reports;
    EXPECT_EQ(reports, 1u) << result.errorText;
}

TEST_F(CrashHandlerTest, ExceptionLeavingAThreadIsReported) {
    ChildResult result = Crash([] {
        std::thread worker([] { throw std::runtime_error("worker failed"); });
        worker.join();
    });
    EXPECT_TRUE(DiedBySignal(result, SIGABRT)) << result.status;
    ParsedDump sparse = Dump(0);
    EXPECT_EQ(sparse.Value("reason"), "uncaught exception: worker failed");
    EXPECT_NE(sparse.Value("thread"), sparse.Value("process"));
}

TEST_F(CrashHandlerTest, StackOverflowInThreadIsReportedOnItsOwnSignalStack) {
    ChildResult result = Crash([] {
        std::thread worker([] {
            InstallThreadCrashStack();
            CrashTestRecurse(0);
        });
        worker.join();
    });
    ASSERT_FALSE(result.timedOut);
    EXPECT_TRUE(DiedBySignal(result, SIGSEGV)) << result.status;
    ExpectThreeDumps();
    ParsedDump sparse = Dump(0);
    EXPECT_NE(sparse.Value("thread"), sparse.Value("process"));
    EXPECT_NE(ReadWholeFile(dir_ + "/Sparse.dmp").find("CrashTestRecurse"), std::string::npos);
}

TEST_F(CrashHandlerTest, CrashOverwritesPreviousDumps) {
    for (const char* name : kDumpNames) {
        std::string old(1 << 16, 'x');
        FILE* f = std::fopen((dir_ + "/" + name).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(old.data(), 1, old.size(), f);
        std::fclose(f);
    }
    Crash([] { ::raise(SIGILL); });
    ExpectThreeDumps();
    EXPECT_EQ(ReadWholeFile(dir_ + "/Sparse.dmp").rfind("DevozizuDave crash dump\n", 0), 0u);
}

TEST_F(CrashHandlerTest, ReportNamesTheDumpsThatCouldNotBeWritten) {
    // Sparse cannot be made (a folder holds its name); Indirect is made, but a
    // full device refuses its bytes; Verbose is written.
    std::filesystem::create_directory(dir_ + "/Sparse.dmp");
    std::filesystem::create_symlink("/dev/full", dir_ + "/Indirect.dmp");
    ChildResult result = Crash([] { CrashTestNullWrite(); });
    ASSERT_FALSE(result.timedOut);
    EXPECT_TRUE(DiedBySignal(result, SIGSEGV)) << result.status;
    EXPECT_NE(result.errorText.find("FATAL ERROR: Writing crash report...\nThese dumps could not be written "
                                    "(disk full or not writable): Sparse.dmp, Indirect.dmp\n"),
              std::string::npos)
        << result.errorText;
    EXPECT_TRUE(Dump(2).wellFormed) << Dump(2).error;
}

TEST_F(CrashHandlerTest, TwoThreadsCrashingTogetherGiveOneReport) {
    ChildResult result = Crash([] {
        std::thread a([] { CrashTestNullWrite(); });
        std::thread b([] { CrashTestNullWrite(); });
        a.join();
        b.join();
    });
    ASSERT_FALSE(result.timedOut);
    EXPECT_TRUE(DiedBySignal(result, SIGSEGV)) << result.status;
    ExpectThreeDumps();
}

TEST_F(CrashHandlerTest, DumpThatCannotBeCreatedIsSkipped) {
    std::filesystem::create_directory(dir_ + "/Sparse.dmp");
    ChildResult result = Crash([] { ::raise(SIGSEGV); });
    ASSERT_FALSE(result.timedOut);
    EXPECT_TRUE(DiedBySignal(result, SIGSEGV));
    EXPECT_TRUE(Dump(1).wellFormed);
    EXPECT_TRUE(Dump(2).wellFormed);
    EXPECT_NE(result.errorText.find("Writing crash report..."), std::string::npos);
}
}  // namespace
