// The one file writer against failing disks and special targets. Every case
// compares the folder before and after: a failure leaves it exactly as it was
// (no temporary file, the old bytes, every node of the same kind), a success
// changes only the target's bytes.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "port/os/WholeFileWriter.h"
#include "tests/port/ChildProcess.h"
#include "tests/port/FolderSnapshot.h"

namespace {
namespace fs = std::filesystem;

const std::string kOld = "old bytes that must survive";
const std::string kNew(100000, 'n');

// Injected failures: the step that fails and how.
enum class Step { None, FirstWrite, WriteAfterHalf, WriteReturnsZero, Fsync, Close, Rename };
Step gFailing = Step::None;
bool gWroteHalf = false;

ssize_t FakeWrite(int fd, const void* data, std::size_t size) {
    switch (gFailing) {
        case Step::FirstWrite:
            errno = ENOSPC;
            return -1;
        case Step::WriteReturnsZero:
            return 0;
        case Step::WriteAfterHalf:
            if (gWroteHalf) {
                errno = ENOSPC;
                return -1;
            }
            gWroteHalf = true;
            return ::write(fd, data, size / 2);
        default:
            return ::write(fd, data, size);
    }
}
int FakeFsync(int fd) {
    if (gFailing != Step::Fsync) return ::fsync(fd);
    errno = EIO;
    return -1;
}
int FakeClose(int fd) {
    const int closed = ::close(fd);
    if (gFailing != Step::Close) return closed;
    errno = EDQUOT;  // as a network or quota file system reports at close
    return -1;
}
int FakeRename(const char* from, const char* to) {
    if (gFailing != Step::Rename) return ::rename(from, to);
    errno = EXDEV;
    return -1;
}
const WholeFileWriterCalls kFakeCalls{&FakeWrite, &FakeFsync, &FakeClose, &FakeRename};

class WholeFileWriterTest : public ::testing::Test {
protected:
    void SetUp() override { dir_ = MakeTempFolder(); }
    void TearDown() override {
        SetWholeFileWriterCallsForTest(nullptr);
        gFailing = Step::None;
        if (mounted_) ::umount2(mounted_->c_str(), MNT_DETACH);
        fs::remove_all(dir_);
    }

    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    void Put(const std::string& name, const std::string& bytes) const {
        ASSERT_TRUE(WriteWholeFile(Path(name), bytes, nullptr));
    }
    bool MakeNode(const std::string& name, mode_t kind, unsigned major, unsigned minor) const {
        return ::mknod(Path(name).c_str(), kind | 0666, makedev(major, minor)) == 0;
    }

    // Writes kNew to `name`; a failure must name the file, give `reason` and
    // leave the folder as it was.
    void ExpectRefused(const std::string& name, const std::string& reason) {
        const FolderSnapshot before = TakeFolderSnapshot(dir_);
        std::string error;
        EXPECT_FALSE(WriteWholeFile(Path(name), kNew, &error)) << name;
        EXPECT_NE(error.find(Path(name)), std::string::npos) << error;
        EXPECT_NE(error.find(reason), std::string::npos) << error;
        EXPECT_EQ(TakeFolderSnapshot(dir_), before) << error;
    }

    std::string dir_;
    std::optional<std::string> mounted_;
};

TEST_F(WholeFileWriterTest, EveryFailingStepKeepsTheOldFileAndLeavesNoTemporary) {
    SetWholeFileWriterCallsForTest(&kFakeCalls);
    const struct {
        Step step;
        const char* reason;
    } cases[] = {
        {Step::FirstWrite, "No space left on device"}, {Step::WriteAfterHalf, "No space left on device"},
        {Step::WriteReturnsZero, "No space left"},     {Step::Fsync, "Input/output error"},
        {Step::Close, "Disk quota exceeded"},          {Step::Rename, "Invalid cross-device link"},
    };
    Put("model.bin", kOld);
    ASSERT_EQ(::symlink("model.bin", Path("linked.bin").c_str()), 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.step));
        gFailing = c.step;
        gWroteHalf = false;
        ExpectRefused("model.bin", c.reason);
        ExpectRefused("linked.bin", c.reason);  // the link and the file it names both stay
        ExpectRefused("new.bin", c.reason);     // nothing appears where nothing was
    }
}

TEST_F(WholeFileWriterTest, ReplacesFilesAndFollowsLinksToThem) {
    Put("scene.scn", kOld);
    ASSERT_EQ(::chmod(Path("scene.scn").c_str(), 0640), 0);
    ASSERT_EQ(::symlink("scene.scn", Path("current.scn").c_str()), 0);

    std::string error;
    ASSERT_TRUE(WriteWholeFile(Path("current.scn"), "through the link", &error)) << error;
    EXPECT_TRUE(fs::is_symlink(Path("current.scn")));
    EXPECT_EQ(ReadWholeFile(Path("scene.scn")), "through the link");
    ASSERT_TRUE(WriteWholeFile(Path("scene.scn"), kNew, &error)) << error;
    EXPECT_EQ(ReadWholeFile(Path("scene.scn")), kNew);
    struct stat info {};
    ASSERT_EQ(::stat(Path("scene.scn").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u) << "the replacement keeps the old file's permissions";
    EXPECT_EQ(TakeFolderSnapshot(dir_).size(), 2u) << "no temporary file left";
}

// A write killed half way (kill -9 during a save) leaves its temporary file;
// the next write of the same file removes it, and so does a sweep of the
// folder. Files of a live writer, of another pattern or another target of
// that write stay.
TEST_F(WholeFileWriterTest, TemporariesOfKilledWritesGoWithTheNextWriteOrASweep) {
    Put("scene.scn", kOld);
    Put("other.scn", kOld);
    auto killedWrite = [this](const std::string& name) {
        ChildProcess child = ChildProcess::Fork(dir_, [this, name] {
            static const WholeFileWriterCalls stuck{[](int fd, const void* data, std::size_t size) -> ssize_t {
                                                        const ssize_t half = ::write(fd, data, size / 2);
                                                        while (half >= 0) ::pause();
                                                        return half;
                                                    },
                                                    &::fsync, &::close, &::rename};
            SetWholeFileWriterCallsForTest(&stuck);
            WriteWholeFile(Path(name), kNew, nullptr);
        });
        // "<name>.<pid>-<n>.tmp", once half written.
        const std::string prefix = name + "." + std::to_string(child.Pid()) + "-";
        std::string temporary;
        for (int i = 0; i < 1000 && temporary.empty(); ++i) {
            for (const auto& entry : fs::directory_iterator(dir_)) {
                const std::string file = entry.path().filename().string();
                if (file.rfind(prefix, 0) == 0 && fs::file_size(entry.path()) > 0) temporary = file;
            }
            if (temporary.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        child.Signal(SIGKILL);
        child.Wait();
        EXPECT_TRUE(!temporary.empty() && fs::exists(Path(temporary))) << prefix;
        return temporary;
    };
    const std::string sceneLeftover = killedWrite("scene.scn");
    const std::string otherLeftover = killedWrite("other.scn");
    const std::vector<std::string> kept = {"scene.scn.1-0.tmp", "scene.scn.tmp", "scene.scn.x-0.tmp", "notes.txt"};
    for (const std::string& name : kept) Put(name, "keep");

    ASSERT_TRUE(WriteWholeFile(Path("scene.scn"), "new", nullptr));
    EXPECT_EQ(ReadWholeFile(Path("scene.scn")), "new");
    EXPECT_FALSE(fs::exists(Path(sceneLeftover)));
    EXPECT_TRUE(fs::exists(Path(otherLeftover))) << "another file's leftover waits for its own save";

    EXPECT_EQ(RemoveLeftoverTemporaries(dir_, ".scn"), std::vector<std::string>{otherLeftover});
    EXPECT_EQ(ReadWholeFile(Path("other.scn")), kOld);
    for (const std::string& name : kept) EXPECT_EQ(ReadWholeFile(Path(name)), "keep") << name;
    EXPECT_EQ(TakeFolderSnapshot(dir_).size(), 2 + kept.size());
}

TEST_F(WholeFileWriterTest, StreamsAreWrittenInPlaceAndNeverRenamedOver) {
    if (!MakeNode("null", S_IFCHR, 1, 3) || !MakeNode("full", S_IFCHR, 1, 7))
        GTEST_SKIP() << "device nodes cannot be made here";
    ASSERT_EQ(::symlink("null", Path("to-null").c_str()), 0);
    ASSERT_EQ(::symlink("full", Path("to-full").c_str()), 0);
    const FolderSnapshot before = TakeFolderSnapshot(dir_);
    std::string error;
    EXPECT_TRUE(WriteWholeFile(Path("null"), kNew, &error)) << error;
    EXPECT_TRUE(WriteWholeFile(Path("to-null"), kNew, &error)) << error;
    EXPECT_EQ(TakeFolderSnapshot(dir_), before);
    // A device that is always full fails the write itself.
    ExpectRefused("full", "No space left on device");
    ExpectRefused("to-full", "No space left on device");
}

TEST_F(WholeFileWriterTest, PipeIsWrittenWhenReadAndRefusedWhenNobodyReads) {
    ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("pipe", Path("to-pipe").c_str()), 0);
    ExpectRefused("pipe", "no process reads this pipe");
    ExpectRefused("to-pipe", "no process reads this pipe");

    const int reader = ::open(Path("pipe").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    std::string received;
    std::thread drain([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        char buffer[8192];
        while (received.size() < kNew.size() && std::chrono::steady_clock::now() < deadline) {
            const ssize_t got = ::read(reader, buffer, sizeof buffer);
            if (got > 0)
                received.append(buffer, static_cast<std::size_t>(got));
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    std::string error;
    const bool written = WriteWholeFile(Path("to-pipe"), kNew, &error);
    drain.join();
    ::close(reader);
    EXPECT_TRUE(written) << error;
    EXPECT_EQ(received.size(), kNew.size());
    EXPECT_TRUE(fs::is_fifo(Path("pipe")));
}

TEST_F(WholeFileWriterTest, WhatIsNoFileNorStreamIsRefused) {
    fs::create_directory(Path("folder"));
    ASSERT_EQ(::symlink("missing", Path("dangling").c_str()), 0);
    ExpectRefused("folder", "a folder is not replaced");
    ExpectRefused("dangling", "a link to nothing");
    ExpectRefused("no-such-folder/file", "No such file or directory");
    if (MakeNode("disk", S_IFBLK, 7, 250)) ExpectRefused("disk", "a block device is not replaced");
}

TEST_F(WholeFileWriterTest, FullFileSystemKeepsTheOldFile) {
    const std::string small = Path("small");
    fs::create_directory(small);
    if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=32k") != 0)
        GTEST_SKIP() << "no small file system can be mounted here: " << std::strerror(errno);
    mounted_ = small;
    const std::string old = small + "/picture.png";
    ASSERT_TRUE(WriteWholeFile(old, kOld, nullptr));
    const FolderSnapshot before = TakeFolderSnapshot(small);
    std::string error;
    EXPECT_FALSE(WriteWholeFile(old, kNew, &error));
    EXPECT_NE(error.find(old), std::string::npos) << error;
    EXPECT_NE(error.find("No space left on device"), std::string::npos) << error;
    EXPECT_EQ(TakeFolderSnapshot(small), before);
}
}  // namespace
