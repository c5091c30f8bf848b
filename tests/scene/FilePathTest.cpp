#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "engine/FilePath.h"
#include "tests/port/os/HostileFiles.h"
#include "tests/support/LogCapture.h"

namespace {
std::string Compose(const std::string& fileName) {
    FilePath parts;
    const std::string name = parts.Split(fileName);
    return parts.GetFullPath(name);
}

std::string Slashes(std::string text) {
    for (char& c : text)
        if (c == '\\') c = '/';
    return text;
}
}  // namespace

TEST(FilePathTest, SplitThenComposeGivesThePathBack) {
    for (const char* fileName : {"a/b/c.scn", "x.arch", "/abs/x.arch", "/x", "noext", "dir\\sub\\name.ext", "a.b\\c",
                                 "a/.hidden", "rel/../up.bin", "two.dots.tar.gz"})
        EXPECT_EQ(Compose(fileName), Slashes(fileName)) << fileName;
}

TEST(FilePathTest, ExtensionComesFromTheLastComponentOnly) {
    FilePath parts;
    EXPECT_EQ(parts.Split("a.b\\c"), "c");
    EXPECT_EQ(parts.extension, "");
    EXPECT_EQ(parts.path, "a.b\\");
    EXPECT_EQ(parts.Split("levels/Gold_Level.scn"), "Gold_Level");
    EXPECT_EQ(parts.extension, ".scn");
    EXPECT_EQ(parts.path, "levels/");
    parts.baseFolder = "kept";
    EXPECT_EQ(parts.Split(""), "");
    EXPECT_EQ(parts.path, "levels/");
    EXPECT_EQ(parts.baseFolder, "kept");
}

TEST(FilePathTest, FullPathPutsOneSeparatorBetweenParts) {
    FilePath scenes;
    scenes.baseFolder = "/game/";
    scenes.path = "scenes\\";
    scenes.extension = ".scn";
    EXPECT_EQ(scenes.GetFullPath("Tutorial"), "/game/scenes/Tutorial.scn");
    scenes.baseFolder = "/game";
    scenes.path = "scenes";
    EXPECT_EQ(scenes.GetFullPath("Tutorial"), "/game/scenes/Tutorial.scn");
    const std::string deep = "/" + std::string(400, 'd') + "/";
    scenes.baseFolder = deep;  // no length limit
    EXPECT_EQ(scenes.GetFullPath("T"), deep + "scenes/T.scn");
}

TEST(FilePathTest, ListingCutsTheExtensionAndIgnoresLetterCaseOfTheMatch) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "ddfilepath_list";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "Sounds");
    for (const char* name : {"b.wav", "a.wav", "C.WAV", "notes.txt"}) std::ofstream(dir / "Sounds" / name) << "x";
    FilePath sounds;
    sounds.baseFolder = dir.string() + "/";
    sounds.path = "sounds/";  // folded to "Sounds"
    sounds.extension = ".wav";
    ASSERT_TRUE(sounds.ListDirectory());
    EXPECT_EQ(sounds.fileNames, (std::vector<std::string>{"C", "a", "b"}));
    // The listed name leads back to the file as it is written on disk.
    EXPECT_TRUE(std::filesystem::exists(sounds.FindFullPath("C")));
    sounds.extension = "";
    ASSERT_TRUE(sounds.ListDirectory());
    EXPECT_EQ(sounds.fileNames.size(), 4u);
    std::filesystem::remove_all(dir);
}

TEST(FilePathTest, FolderThatCannotBeListedIsNamedInTheLog) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "ddfilepath_missing";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "plain") << "a file, not a folder";
    FilePath sounds;
    sounds.baseFolder = dir.string() + "/";
    std::vector<std::string> rows;
    {
        LogCapture capture;
        for (const char* folder : {"missing/", "plain/"}) {
            sounds.path = folder;
            sounds.fileNames = {"stale"};
            EXPECT_FALSE(sounds.ListDirectory()) << folder;
            EXPECT_TRUE(sounds.fileNames.empty()) << folder;
        }
        FINISH_MESSAGES_OR_SKIP(capture, rows);
    }
    EXPECT_EQ(rows, (std::vector<std::string>{
                        "FilePath: folder " + dir.string() + "/missing/ cannot be listed: No such file or directory",
                        "FilePath: folder " + dir.string() + "/plain/ cannot be listed: Not a directory"}));
    std::filesystem::remove_all(dir);
}

TEST(FilePathTest, ListingLeavesOutWhatIsNoRegularFileAndLogsIt) {
    HostileFiles files;
    files.Make(HostileFiles::Kind::Fifo, "sfx/Blocked.wav");  // opening it would block
    std::ofstream(files.Dir() + "/sfx/Beep.wav") << "x";
    files.Make(HostileFiles::Kind::DevZeroLink, "sfx/Endless.wav");
    files.Make(HostileFiles::Kind::Folder, "sfx/Folder.wav");
    std::filesystem::create_symlink(files.Dir() + "/sfx/Beep.wav", files.Dir() + "/sfx/Linked.wav");
    LogCapture capture;
    FilePath sounds;
    sounds.baseFolder = files.Dir() + "/";
    sounds.path = "sfx/";
    sounds.extension = ".wav";
    ASSERT_TRUE(sounds.ListDirectory());
    EXPECT_EQ(sounds.fileNames, (std::vector<std::string>{"Beep", "Linked"}));
    std::vector<std::string> rows;
    FINISH_MESSAGES_OR_SKIP(capture, rows);
    std::sort(rows.begin(), rows.end());
    std::vector<std::string> expected;
    for (const char* name : {"Blocked", "Endless", "Folder"})
        expected.push_back("FilePath: " + files.Dir() + "/sfx/" + name + ".wav is not a regular file; left out");
    EXPECT_EQ(rows, expected);
}
