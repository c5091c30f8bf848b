// Runs the real executable headless in a temporary asset folder: it must end
// its loop on SIGTERM or SIGINT with a complete log and exit status 0, and
// end through the crash handler when its log cannot be made.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sys/wait.h>
#include <thread>

#include "tests/port/ChildProcess.h"
#include "tests/port/CrashDumpReader.h"

namespace {
const char* const kHeader =
    "========Initialized log for: Application========\r\n"
    "Format: \r\n: frameCounter\ttime\tGetCurrentThreadId()\tSysGuid\tSysName\tmessage\n"
    "\n";

class ProgramRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = MakeTempFolder();
        std::ofstream(dir_ + "/DevozizuDave.init") << "log = { path = \"logs\\\\\", extension = \".log\" }\n";
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string LogPath() const { return dir_ + "/logs/Application.log"; }

    // Waits until the program has logged a few frames.
    bool WaitForFrames(const std::string& path) {
        for (int i = 0; i < 2000; ++i) {
            if (ReadWholeFile(path).find("\tFRAMETIME: ") != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    std::string dir_;
};

class QuitSignalRunTest : public ProgramRunTest, public ::testing::WithParamInterface<int> {};

TEST_P(QuitSignalRunTest, QuitSignalEndsTheLoopWithCompleteLogAndStatusZero) {
    ChildProcess program = ChildProcess::Exec(dir_, {DD_EXECUTABLE});
    ASSERT_TRUE(WaitForFrames(LogPath()));
    program.Signal(GetParam());
    ChildResult result = program.Wait();
    ASSERT_FALSE(result.timedOut);
    EXPECT_TRUE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == 0)
        << result.status << "\n" << result.errorText;
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/Sparse.dmp"));

    const std::string text = ReadWholeFile(LogPath());
    ASSERT_EQ(text.rfind(kHeader, 0), 0u);
    static const std::regex kRow("(\\d+)\\t\\d+\\t\\d+\\t0\\tApplication\\t([^\\n]*)\\n\\n");
    auto at = text.cbegin() + static_cast<long>(std::string(kHeader).size());
    std::smatch m;
    unsigned long lastFrame = 0;
    std::string lastMessage;
    size_t rows = 0;
    while (at != text.cend()) {
        ASSERT_TRUE(std::regex_search(at, text.cend(), m, kRow, std::regex_constants::match_continuous))
            << "malformed from: " << std::string(at, text.cend()).substr(0, 200);
        unsigned long frame = std::stoul(m[1]);
        EXPECT_GE(frame, lastFrame);
        lastFrame = frame;
        lastMessage = m[2];
        ++rows;
        at = m[0].second;
    }
    EXPECT_GT(rows, 0u);
    // The last frame was finished and its rows written after the last hand-over.
    EXPECT_EQ(lastMessage.rfind("FRAMETIME: ", 0), 0u) << lastMessage;
}

INSTANTIATE_TEST_SUITE_P(SigtermAndSigint, QuitSignalRunTest, ::testing::Values(SIGTERM, SIGINT));

TEST_F(ProgramRunTest, LogFolderThatCannotBeMadeEndsThroughTheCrashHandler) {
    std::ofstream(dir_ + "/logs") << "a file where the log folder belongs";
    ChildProcess program = ChildProcess::Exec(dir_, {DD_EXECUTABLE});
    ChildResult result = program.Wait();
    ASSERT_FALSE(result.timedOut);
    EXPECT_FALSE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == 0) << result.status;
    for (const char* name : {"Sparse.dmp", "Indirect.dmp", "Verbose.dmp"}) {
        ParsedDump dump = ParseDump(ReadWholeFile(dir_ + "/" + name));
        EXPECT_TRUE(dump.wellFormed) << name << ": " << dump.error;
        EXPECT_EQ(dump.Value("reason").rfind("uncaught exception: u32 ", 0), 0u) << dump.Value("reason");
    }
    EXPECT_NE(result.errorText.find("FATAL ERROR: Writing crash report..."), std::string::npos) << result.errorText;
}

TEST_F(ProgramRunTest, MissingStartupFileIsReportedAndTheRunGoesOn) {
    std::filesystem::remove(dir_ + "/DevozizuDave.init");
    ChildProcess program = ChildProcess::Exec(dir_, {DD_EXECUTABLE, "-e"});
    // Without folders the log is "Application" in the working directory.
    ASSERT_TRUE(WaitForFrames(dir_ + "/Application"));
    program.Signal(SIGTERM);
    ChildResult result = program.Wait();
    EXPECT_TRUE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == 0) << result.status;
    EXPECT_NE(result.errorText.find("Load scene failed"), std::string::npos) << result.errorText;
}
}  // namespace
