#include "port/os/WholeFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <map>

#include "port/os/Folders.h"
#include "tests/port/os/HostileFiles.h"

namespace {

using Kind = HostileFiles::Kind;

TEST(WholeFileTest, SpecialAndOversizedFilesAreRefusedUnreadWithTheFileNamed) {
    HostileFiles files;
    struct Case {
        const char* name;
        Kind kind;
        FileRead expected;
        const char* text;  // what the message says after the path
    };
    const Case cases[] = {
        {"pipe.scn", Kind::Fifo, FileRead::NotRegular, " is a FIFO, not a regular file"},
        {"zero.fx", Kind::DevZeroLink, FileRead::NotRegular, " is a character device, not a regular file"},
        {"huge.bin", Kind::Sparse, FileRead::TooLarge, " is larger than 4 MiB, the most read for this kind of file"},
        {"folder.png", Kind::Folder, FileRead::NotRegular, " is a folder, not a regular file"},
    };
    for (const Case& c : cases) {
        const std::string path = files.Make(c.kind, c.name, std::uintmax_t(1) << 40);
        std::string bytes = "old";
        int error = 0;
        const FileRead result = ReadWholeFile(path, 4u << 20, &bytes, &error);
        EXPECT_EQ(result, c.expected) << c.name;
        EXPECT_TRUE(bytes.empty()) << c.name;
        EXPECT_NE(error, 0) << c.name;
        EXPECT_EQ(FileReadErrorText(result, path, 4u << 20, error), path + c.text);
    }
}

TEST(WholeFileTest, FileOfExactlyTheLimitIsReadAndOneByteMoreIsNot) {
    HostileFiles files;
    const std::string path = files.Dir() + "/exact.txt";
    std::ofstream(path) << std::string(100, 'x');
    std::string bytes;
    EXPECT_EQ(ReadWholeFile(path, 100, &bytes), FileRead::Ok);
    EXPECT_EQ(bytes, std::string(100, 'x'));
    EXPECT_EQ(ReadWholeFile(path, 99, &bytes), FileRead::TooLarge);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(ReadWholeFile(path, 0, &bytes), FileRead::Ok);  // no limit
    EXPECT_EQ(bytes.size(), 100u);
}

TEST(WholeFileTest, MissingFileCannotBeOpenedAndIsNamed) {
    std::string bytes;
    int error = 0;
    const FileRead result = ReadWholeFile("/nonexistent/x.scn", 0, &bytes, &error);
    EXPECT_EQ(result, FileRead::CannotOpen);
    EXPECT_EQ(error, ENOENT);
    EXPECT_EQ(FileReadErrorText(result, "/nonexistent/x.scn", 0, error),
              "/nonexistent/x.scn: cannot be opened (No such file or directory)");
}

TEST(WholeFileTest, OpenedRegularFileReadsBlockingFromTheStart) {
    HostileFiles files;
    const std::string path = files.Dir() + "/a.wav";
    std::ofstream(path) << "RIFF";
    FileRead result = FileRead::CannotRead;
    const int fd = OpenRegularFile(path, 0, &result);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(result, FileRead::Ok);
    char text[4];
    EXPECT_EQ(::read(fd, text, 4), 4);
    EXPECT_EQ(std::string(text, 4), "RIFF");
    EXPECT_EQ(::close(fd), 0);
    EXPECT_LT(OpenRegularFile(files.Make(Kind::Fifo, "b.wav"), 0, &result), 0);
    EXPECT_EQ(result, FileRead::NotRegular);
}

TEST(FoldersTest, ListingMarksOnlyRegularFilesAndSymlinksToThemWithoutOpeningAny) {
    HostileFiles files;
    std::ofstream(files.Dir() + "/plain.wav") << "x";
    std::filesystem::create_symlink(files.Dir() + "/plain.wav", files.Dir() + "/link.wav");
    files.Make(Kind::Fifo, "pipe.wav");  // opening it would block
    files.Make(Kind::DevZeroLink, "zero.wav");
    files.Make(Kind::Folder, "folder.wav");
    std::filesystem::create_symlink(files.Dir() + "/gone", files.Dir() + "/dangling.wav");
    std::vector<FolderEntry> entries;
    ASSERT_EQ(ListFolder(files.Dir(), &entries), 0u);
    std::map<std::string, bool> regular;
    for (const FolderEntry& entry : entries) regular[entry.name] = entry.regular;
    EXPECT_EQ(regular, (std::map<std::string, bool>{{"dangling.wav", false},
                                                    {"folder.wav", false},
                                                    {"link.wav", true},
                                                    {"pipe.wav", false},
                                                    {"plain.wav", true},
                                                    {"zero.wav", false}}));
    EXPECT_EQ(ListFolder(files.Dir() + "/missing", &entries), static_cast<std::uint32_t>(ENOENT));
    EXPECT_TRUE(entries.empty());
}

}  // namespace
