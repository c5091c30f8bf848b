#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <string>
#include <thread>

#include "port/os/Folders.h"
#include "port/os/OsFile.h"
#include "tests/port/ChildProcess.h"

namespace {
void IgnoreSignal(int) {}

TEST(OsFileTest, InterruptedShortWriteIsCompleted) {
    // A pipe that holds one page: the write blocks after the first page, the
    // signal (without SA_RESTART) makes write() return the short count, and
    // WriteAll must go on with the rest once the reader drains the pipe.
    struct sigaction action {
    }, old{};
    action.sa_handler = IgnoreSignal;
    sigemptyset(&action.sa_mask);
    ASSERT_EQ(::sigaction(SIGUSR1, &action, &old), 0);
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    ::fcntl(fds[1], F_SETPIPE_SZ, 4096);

    std::string data(256 * 1024, '\0');
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>('a' + i % 26);
    std::atomic<std::uint32_t> error{1};
    std::thread writer([&] { error = WriteAllToDescriptor(fds[1], data.data(), data.size()); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ::pthread_kill(writer.native_handle(), SIGUSR1);

    std::string received;
    while (received.size() < data.size()) {
        pollfd fd{fds[0], POLLIN, 0};
        ASSERT_GT(::poll(&fd, 1, 5000), 0) << "writer gave up after " << received.size();
        char buffer[8192];
        ssize_t got = ::read(fds[0], buffer, sizeof buffer);
        ASSERT_GT(got, 0);
        received.append(buffer, static_cast<size_t>(got));
    }
    writer.join();
    EXPECT_EQ(error.load(), 0u);
    EXPECT_TRUE(received == data);
    ::close(fds[0]);
    ::close(fds[1]);
    ::sigaction(SIGUSR1, &old, nullptr);
}

TEST(OsFileTest, CreateTruncatesAndAppends) {
    std::string dir = MakeTempFolder();
    std::string path = dir + "/f.log";
    {
        OsFile file;
        ASSERT_EQ(file.CreateForAppend(path), 0u);
        ASSERT_EQ(file.WriteAll("old contents", 12), 0u);
    }
    OsFile file;
    ASSERT_EQ(file.CreateForAppend(path), 0u);
    ASSERT_EQ(file.WriteAll("ab", 2), 0u);
    ASSERT_EQ(file.WriteAll("cd", 2), 0u);
    file.Close();
    EXPECT_EQ(ReadWholeFile(path), "abcd");
    EXPECT_EQ(file.WriteAll("x", 1), static_cast<std::uint32_t>(EBADF));
    std::filesystem::remove_all(dir);
}

TEST(OsFileTest, CreateInMissingFolderReportsErrno) {
    OsFile file;
    EXPECT_EQ(file.CreateForAppend("/nonexistent-dd-folder/x.log"), static_cast<std::uint32_t>(ENOENT));
    EXPECT_FALSE(file.IsOpen());
}

TEST(FoldersTest, CreatesNestedFolderAndAcceptsExistingOrEmpty) {
    std::string dir = MakeTempFolder();
    EXPECT_EQ(CreateFolderIfMissing(dir + "/a/b/log/"), 0u);
    EXPECT_TRUE(std::filesystem::is_directory(dir + "/a/b/log"));
    EXPECT_EQ(CreateFolderIfMissing(dir + "/a/b/log/"), 0u);
    EXPECT_EQ(CreateFolderIfMissing(""), 0u);
    std::filesystem::remove_all(dir);
}

TEST(FoldersTest, FileInTheWayIsAnErrorCode) {
    std::string dir = MakeTempFolder();
    {
        OsFile blocker;
        ASSERT_EQ(blocker.CreateForAppend(dir + "/log"), 0u);
    }
    EXPECT_NE(CreateFolderIfMissing(dir + "/log/"), 0u);
    EXPECT_NE(CreateFolderIfMissing(dir + "/log/deeper/"), 0u);
    std::filesystem::remove_all(dir);
}
}  // namespace
