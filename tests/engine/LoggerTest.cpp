#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>

#include "engine/Logger.h"
#include "port/os/MessageBox.h"
#include "port/os/OsClock.h"
#include "tests/port/ChildProcess.h"

namespace {
const std::string kHeader =
    "========Initialized log for: Application========\r\n"
    "Format: \r\n: frameCounter\ttime\tGetCurrentThreadId()\tSysGuid\tSysName\tmessage\n"
    "\n";

struct Row {
    unsigned long frame = 0;
    unsigned long ms = 0;
    unsigned long thread = 0;
    std::string id, name, message;
};

class LoggerTest : public ::testing::Test {
protected:
    void SetUp() override { dir_ = MakeTempFolder() + "/"; }
    void TearDown() override {
        LogWriter::SetBeforeBatchHookForTest(nullptr);
        std::filesystem::remove_all(dir_);
    }

    std::string Folder() const { return dir_ + "log/"; }
    std::string LogText() const { return ReadWholeFile(Folder() + "Application.log"); }

    // Splits the file after the header into rows, checking each row's shape.
    std::vector<Row> Rows() {
        std::string text = LogText();
        EXPECT_EQ(text.substr(0, kHeader.size()), kHeader);
        std::vector<Row> rows;
        static const std::regex kRow("(\\d+)\\t(\\d+)\\t(\\d+)\\t([^\\t\\n]*)\\t([^\\t\\n]*)\\t([^\\n]*)\\n\\n");
        auto at = text.cbegin() + static_cast<long>(std::min(kHeader.size(), text.size()));
        std::smatch m;
        while (at != text.cend()) {
            if (!std::regex_search(at, text.cend(), m, kRow, std::regex_constants::match_continuous)) {
                ADD_FAILURE() << "malformed rows from: " << std::string(at, text.cend()).substr(0, 200);
                break;
            }
            rows.push_back({std::stoul(m[1]), std::stoul(m[2]), std::stoul(m[3]), m[4], m[5], m[6]});
            at = m[0].second;
        }
        return rows;
    }

    std::string dir_;
};

TEST_F(LoggerTest, FreshLogHoldsExactlyTheHeaderBytes) {
    { Logger logger(Folder(), ".log"); }
    EXPECT_EQ(LogText(), kHeader);
}

TEST_F(LoggerTest, RowHasTheSixColumnsAndAnEmptyLineAfter) {
    u32 before = MillisecondTimer();
    {
        Logger logger(Folder(), ".log");
        Log("PERF: %s ran %f ms", "InputSystem", 0.5);
        logger.IncrementFrame();
        logger.IncrementFrame();
        logger.QueueLine("second");
    }
    u32 elapsedBound = MillisecondTimer() - before;
    std::string expectedTid = std::to_string(CurrentThreadId());
    std::string text = LogText();
    std::regex exact(std::regex_replace(kHeader, std::regex("[\\^$.|?*+()\\[\\]{}\\\\]"), "\\$&") + "0\\t\\d+\\t" +
                     expectedTid +
                     "\\t0\\tApplication\\tPERF: InputSystem ran 0\\.500000 ms\\n\\n"
                     "2\\t\\d+\\t" +
                     expectedTid + "\\t0\\tApplication\\tsecond\\n\\n");
    EXPECT_TRUE(std::regex_match(text, exact)) << text;
    for (const Row& row : Rows()) EXPECT_LE(row.ms, elapsedBound);
}

TEST_F(LoggerTest, EmptyFormattedMessageWritesNoRowButEmptyQueuedLineDoes) {
    {
        Logger logger(Folder(), ".log");
        Log("%s", "");
        logger.QueueLine("");
    }
    std::vector<Row> rows = Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].message, "");
}

TEST_F(LoggerTest, FormattedMessagesAreCutTo299Characters) {
    {
        Logger logger(Folder(), ".log");
        for (size_t length : {299u, 300u, 1000u}) Log("%s", std::string(length, 'm').c_str());
        logger.QueueLine(std::string(1000, 'q'));  // queued text has no limit
    }
    std::vector<Row> rows = Rows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].message, std::string(299, 'm'));
    EXPECT_EQ(rows[1].message, std::string(299, 'm'));
    EXPECT_EQ(rows[2].message, std::string(299, 'm'));
    EXPECT_EQ(rows[3].message, std::string(1000, 'q'));
}

TEST_F(LoggerTest, RowsQueuedAfterTheLastHandOverAreWrittenAtShutdown) {
    {
        Logger logger(Folder(), ".log");
        Log("frame row");
        logger.FlushFrame(10);
        logger.IncrementFrame();
        Log("last frame row");  // no hand-over follows these
        Log("teardown row");
    }
    std::vector<Row> rows = Rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1].message, "last frame row");
    EXPECT_EQ(rows[2].message, "teardown row");
    EXPECT_EQ(rows[2].frame, 1u);
}

TEST_F(LoggerTest, ManyRowsAcrossManyFramesStayInOrder) {
    const int kFrames = 300, kRowsPerFrame = 40;
    {
        Logger logger(Folder(), ".log");
        for (int frame = 0; frame < kFrames; ++frame) {
            for (int i = 0; i < kRowsPerFrame; ++i) Log("row %d", frame * kRowsPerFrame + i);
            logger.FlushFrame(10);
            logger.IncrementFrame();
        }
    }
    std::vector<Row> rows = Rows();
    ASSERT_EQ(rows.size(), static_cast<size_t>(kFrames * kRowsPerFrame));
    for (size_t i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].message, "row " + std::to_string(i));
        ASSERT_EQ(rows[i].frame, i / kRowsPerFrame);
    }
}

TEST_F(LoggerTest, FilePastItsSizeBoundIsCutWithOneRowAndTheDroppedRowsAreCountedAtShutdown) {
    // A flood of rows (a contact row per pair per step) from the main thread
    // and a second thread at once; the file must stay within the bound (plus
    // the cut row and the count row) and keep the rows before the cut whole.
    const u64 kBound = 64 * 1024;
    const int kRows = 4000;
    {
        Logger logger(Folder(), ".log");
        logger.SetSizeBound(kBound);
        std::thread other([] {
            for (int i = 0; i < kRows; ++i) Log("other BOOM! %d", i);
        });
        for (int i = 0; i < kRows; ++i) {
            Log("BOOM! %d", i);
            if (i % 100 == 0) logger.FlushFrame(10);
        }
        other.join();
    }
    const std::string text = LogText();
    EXPECT_LE(text.size(), kBound + 400);
    std::vector<Row> rows = Rows();
    ASSERT_GE(rows.size(), 3u);
    const std::string cut =
        "Log cut: the file reached its bound of 65536 bytes; later rows are dropped and counted at shutdown";
    EXPECT_EQ(rows[rows.size() - 2].message, cut);
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [&](const Row& r) { return r.message == cut; }), 1);
    const std::size_t kept = rows.size() - 2;
    EXPECT_EQ(rows.back().message,
              "Log cut: " + std::to_string(2 * kRows - kept) + " rows were dropped past the bound of 65536 bytes");
    for (std::size_t i = 0; i < kept; ++i) ASSERT_NE(rows[i].message.find("BOOM! "), std::string::npos);
}

TEST_F(LoggerTest, LogWithinItsBoundHasNoCutRow) {
    {
        Logger logger(Folder(), ".log");
        logger.SetSizeBound(64 * 1024);
        for (int i = 0; i < 100; ++i) Log("row %d", i);
    }
    std::vector<Row> rows = Rows();
    ASSERT_EQ(rows.size(), 100u);
    EXPECT_EQ(rows.back().message, "row 99");
}

std::atomic<bool> gHoldWriter{false};
std::atomic<int> gBatchesStarted{0};
void HoldWriter() {
    gBatchesStarted.fetch_add(1);
    while (gHoldWriter.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TEST_F(LoggerTest, HandOverWhileBatchOutstandingGivesUpAndKeepsRows) {
    gHoldWriter = true;
    gBatchesStarted = 0;
    LogWriter::SetBeforeBatchHookForTest(&HoldWriter);
    {
        Logger logger(Folder(), ".log");  // the header is handed over and held
        while (gBatchesStarted.load() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        Log("queued while busy");
        logger.FlushFrame(10);  // returns after its attempts; the row stays queued
        EXPECT_EQ(gBatchesStarted.load(), 1);
        gHoldWriter = false;
        logger.FlushFrame(10);
    }
    std::vector<Row> rows = Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].message, "queued while busy");
}

TEST_F(LoggerTest, RowsFromSeveralThreadsAreEachWhole) {
    {
        Logger logger(Folder(), ".log");
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([t] {
                for (int i = 0; i < 500; ++i) Log("thread %d row %d", t, i);
            });
        for (int i = 0; i < 50; ++i) logger.FlushFrame(10);
        for (std::thread& thread : threads) thread.join();
    }
    std::vector<Row> rows = Rows();
    EXPECT_EQ(rows.size(), 2000u);
}

TEST_F(LoggerTest, FreshRunTruncatesThePreviousLog) {
    {
        Logger logger(Folder(), ".log");
        logger.QueueLine(std::string(5000, 'o'));
    }
    { Logger logger(Folder(), ".log"); }
    EXPECT_EQ(LogText(), kHeader);
}

TEST_F(LoggerTest, MissingNestedFolderIsCreated) {
    { Logger logger(dir_ + "a/b/log/", ".txt"); }
    EXPECT_EQ(ReadWholeFile(dir_ + "a/b/log/Application.txt"), kHeader);
}

TEST_F(LoggerTest, EmptyFolderPathWritesInTheWorkingDirectory) {
    std::string previous = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    { Logger logger("", ".log"); }
    std::filesystem::current_path(previous);
    EXPECT_EQ(ReadWholeFile(dir_ + "Application.log"), kHeader);
}

TEST_F(LoggerTest, FolderThatCannotBeMadeThrowsItsErrorCode) {
    {
        OsFile blocker;
        ASSERT_EQ(blocker.CreateForAppend(dir_ + "log"), 0u);
    }
    try {
        Logger logger(Folder(), ".log");
        FAIL() << "no exception";
    } catch (u32 code) {
        EXPECT_NE(code, 0u);
    }
    EXPECT_EQ(Logger::Instance(), nullptr);
}

TEST_F(LoggerTest, FileThatCannotBeOpenedThrowsItsErrorCode) {
    std::filesystem::create_directories(Folder() + "Application.log");
    try {
        Logger logger(Folder(), ".log");
        FAIL() << "no exception";
    } catch (u32 code) {
        EXPECT_EQ(code, static_cast<u32>(EISDIR));
    }
    EXPECT_EQ(Logger::Instance(), nullptr);
}

TEST_F(LoggerTest, EndingOneLoggerLeavesAnotherWriting) {
    Logger first(Folder(), ".log");
    { Logger second(dir_ + "other/", ".log"); }
    first.QueueLine("still written");
    first.FlushFrame(10);
    first.Shutdown();
    std::vector<Row> rows = Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].message, "still written");
}

TEST_F(LoggerTest, UnattendedMessageBoxIsLogged) {
    const char* ci = std::getenv("CI");
    std::string savedCi = ci ? ci : "";
    ::setenv("CI", "1", 1);
    {
        Logger logger(Folder(), ".log");
        ShowMessageBox("shader failed", "Load scene failed");
    }
    if (ci)
        ::setenv("CI", savedCi.c_str(), 1);
    else
        ::unsetenv("CI");
    std::vector<Row> rows = Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].message, "Load scene failed: shader failed");
}

TEST_F(LoggerTest, FullDiskIsToldOnceOnStderr) {
    // A device that is always full: the header and every batch fail.
    std::filesystem::create_directories(Folder());
    std::filesystem::create_symlink("/dev/full", Folder() + "Application.log");
    ChildProcess child = ChildProcess::Fork(dir_, [&] {
        Logger logger(Folder(), ".log");
        for (int frame = 0; frame < 5; ++frame) {
            logger.QueueLine("lost row");
            logger.FlushFrame(100);
        }
    });
    const ChildResult result = child.Wait();
    ASSERT_TRUE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == 0) << result.status;
    EXPECT_EQ(std::count(result.errorText.begin(), result.errorText.end(), '\n'), 1) << result.errorText;
    EXPECT_NE(result.errorText.find("cannot write " + Folder() + "Application.log (No space left on device)"),
              std::string::npos)
        << result.errorText;
}

TEST_F(LoggerTest, LogWithoutLoggerDoesNothing) {
    ASSERT_EQ(Logger::Instance(), nullptr);
    Log("nobody listens");
}
}  // namespace
