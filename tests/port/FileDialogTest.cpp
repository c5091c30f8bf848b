// The open and save dialogs: scripted answers, the record's checks, the
// unattended cancel, and the in-window browser driven by pushed events.
#include "port/dialogs/FileDialog.h"
#include "port/dialogs/FileDialogBrowser.h"
#include "port/dialogs/FileDialogScript.h"
#include "port/os/MessageBox.h"
#include "port/window/PortWindow.h"
#include "port/window/WindowTestInput.h"
#include "tests/port/DialogWindow.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace fs = std::filesystem;

namespace {

const char kSceneFilter[] = "All\0*.*\0Scene\0*.scn\0";  // the literal adds the final NUL

class FileDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        FileDialogScriptClear();
        FileDialogForceInteractive(false);
        folder = fs::temp_directory_path() / ("dd_dialog_" + std::to_string(::getpid()));
        fs::create_directories(folder / "sub");
        std::ofstream(folder / "Tutorial.scn") << "x";
        std::ofstream(folder / "notes.txt") << "x";
        folderText = folder.string();
        std::memset(buffer, 0, sizeof buffer);
        record.lpstrFilter = kSceneFilter;
        record.nFilterIndex = 2;
        record.lpstrFile = buffer;
        record.nMaxFile = sizeof buffer;
        record.lpstrInitialDir = folderText.c_str();
    }
    void TearDown() override {
        FileDialogScriptClear();
        FileDialogForceInteractive(false);
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
    fs::path folder;
    std::string folderText;
    char buffer[256];
    FileDialogRecord record;
};

TEST_F(FileDialogTest, ScriptedNameIsTakenInTheStartingFolder) {
    record.lpstrTitle = "Save Scene";
    FileDialogScriptAnswer("Level.scn");
    EXPECT_TRUE(GetSaveFileNameA(&record));
    EXPECT_EQ(folderText + "/Level.scn", std::string(buffer));
    ASSERT_EQ(1u, FileDialogScriptRequests().size());
    const FileDialogRequest& request = FileDialogScriptRequests()[0];
    EXPECT_TRUE(request.save);
    EXPECT_EQ("Save Scene", request.title);
    EXPECT_EQ(folderText, request.initialDir);
    EXPECT_EQ((std::vector<std::string>{"All", "*.*", "Scene", "*.scn"}), request.filters);
    EXPECT_EQ(2u, request.filterIndex);
    EXPECT_TRUE(request.answered);
}

TEST_F(FileDialogTest, OpenOfMissingFileWithMustExistIsCancelled) {
    record.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    std::strcpy(buffer, "previous");
    FileDialogScriptAnswer("Missing.scn");
    EXPECT_FALSE(GetOpenFileNameA(&record));
    EXPECT_STREQ("previous", buffer);
    FileDialogScriptAnswer(folderText + "/Tutorial.scn");
    EXPECT_TRUE(GetOpenFileNameA(&record));
    EXPECT_EQ(folderText + "/Tutorial.scn", std::string(buffer));
}

TEST_F(FileDialogTest, PathLongerThanTheBufferIsRefused) {
    char small[8] = "old";
    record.lpstrFile = small;
    record.nMaxFile = sizeof small;
    FileDialogScriptAnswer("/tmp/a_long_name.scn");
    EXPECT_FALSE(GetSaveFileNameA(&record));
    EXPECT_STREQ("old", small);
    FileDialogScriptAnswer("/tmp/a");  // 6 characters and the NUL fit
    EXPECT_TRUE(GetSaveFileNameA(&record));
    EXPECT_STREQ("/tmp/a", small);
}

std::string gRecorded;  // what the dialogs put on record through the log sink

TEST_F(FileDialogTest, ScriptedSaveOntoAFolderIsCancelledWithItsReasonOnRecord) {
    SetMessageBoxLogSink(
        [](const char* text, const char* caption) { gRecorded += std::string(caption) + ": " + text; });
    record.lpstrTitle = "Save Scene As";
    std::strcpy(buffer, "previous");
    FileDialogScriptAnswer("sub");
    EXPECT_FALSE(GetSaveFileNameA(&record));
    SetMessageBoxLogSink(nullptr);
    EXPECT_STREQ("previous", buffer);
    EXPECT_EQ("Save Scene As: The answer \"sub\" is refused: \"" + folderText + "/sub\" is a folder.", gRecorded);
}

TEST_F(FileDialogTest, CancelAndUnattendedEmptyQueueReturnAtOnce) {
    FileDialogScriptCancel();
    EXPECT_FALSE(GetOpenFileNameA(&record));
    setenv("CI", "1", 1);
    EXPECT_FALSE(GetOpenFileNameA(&record));  // nobody to answer: no wait
    unsetenv("CI");
    ASSERT_EQ(2u, FileDialogScriptRequests().size());
    EXPECT_FALSE(FileDialogScriptRequests()[1].answered);
    record.lpstrFile = nullptr;
    EXPECT_FALSE(GetOpenFileNameA(&record));
}

TEST(FileDialogBrowserTest, FiltersAndPatterns) {
    EXPECT_TRUE(FileDialogBrowser::MatchesPattern("Gold_Level.SCN", "*.scn"));
    EXPECT_FALSE(FileDialogBrowser::MatchesPattern("ship.arch", "*.scn"));
    EXPECT_TRUE(FileDialogBrowser::MatchesPattern("README", "*.*"));
    EXPECT_TRUE(FileDialogBrowser::MatchesPattern("a.arch", "*.scn;*.arch"));
    EXPECT_EQ("dir/file", FileDialogBrowser::Compose("dir", "file"));
    EXPECT_EQ("dir/file", FileDialogBrowser::Compose("dir/", "file"));
    EXPECT_EQ("/abs/file", FileDialogBrowser::Compose("dir", "/abs/file"));
    EXPECT_TRUE(FileDialogBrowser::ParseFilters(nullptr).empty());
}

class FileDialogGLTest : public FileDialogTest {
protected:
    void SetUp() override {
        FileDialogTest::SetUp();
        std::string error;
        ASSERT_TRUE(screen.Open(&error)) << error;
        window = screen.window.get();
    }
    void TearDown() override {
        screen.Close();
        FileDialogTest::TearDown();
    }
    DialogWindow screen;
    PortWindow* window = nullptr;
};

TEST_F(FileDialogGLTest, TypedNameAndReturnSaveInTheFolder) {
    TestPushText("New.scn");
    TestPushKey(0x0D, true);
    TestPushKey(0x0D, false);
    EXPECT_TRUE(GetSaveFileNameA(&record));
    EXPECT_EQ(folderText + "/New.scn", std::string(buffer));
    // The key release the dialog saw is handed on to the game.
    WindowEvent e;
    bool sawRelease = false;
    while (window->PollEvent(&e)) sawRelease |= e.kind == WindowEventKind::KeyUp && e.vk == 0x0D;
    EXPECT_TRUE(sawRelease);
}

TEST_F(FileDialogGLTest, ARefusedNameSaysWhyInSightAtOnce) {
    record.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    TestPushText("Nope.scn");
    TestPushKey(0x0D, true);
    TestPushKey(0x0D, false);
    TestPushText("2");  // another name, refused for another reason text
    TestPushKey(0x0D, true);
    TestPushKey(0x0D, false);
    TestPushKey(0x1B, true);
    TestPushKey(0x1B, false);
    EXPECT_FALSE(GetOpenFileNameA(&record));
    ASSERT_FALSE(FileDialogScriptRequests().empty());
    const FileDialogRequest& request = FileDialogScriptRequests().back();
    ASSERT_EQ(request.refusals.size(), 2u);
    EXPECT_NE(request.refusals[0].find("Nope.scn\" does not exist."), std::string::npos) << request.refusals[0];
    EXPECT_TRUE(request.refusalsInSight);
}

TEST_F(FileDialogGLTest, EscapeCancels) {
    TestPushKey(0x1B, true);
    TestPushKey(0x1B, false);
    EXPECT_FALSE(GetOpenFileNameA(&record));
}

TEST_F(FileDialogGLTest, CloseRequestCancelsAndStaysQueued) {
    TestPushClose();
    EXPECT_FALSE(GetOpenFileNameA(&record));
    WindowEvent e;
    ASSERT_TRUE(window->PollEvent(&e));
    EXPECT_EQ(WindowEventKind::Quit, e.kind);
}

TEST_F(FileDialogGLTest, TypedFolderNameOpensItThenMustExistChecks) {
    record.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    std::ofstream(folder / "sub" / "Deep.scn") << "x";
    TestPushText("sub");
    TestPushKey(0x0D, true);
    TestPushKey(0x0D, false);
    TestPushText("Deep.scn");
    TestPushKey(0x0D, true);
    TestPushKey(0x0D, false);
    EXPECT_TRUE(GetOpenFileNameA(&record));
    EXPECT_EQ((folder / "sub" / "Deep.scn").lexically_normal().string(), fs::path(buffer).lexically_normal().string());
}

}  // namespace
