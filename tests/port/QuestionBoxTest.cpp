// The question box: scripted answers by label, the cancel answer of an
// unattended run, and the in-window box driven by pushed events.
#include "port/dialogs/FileDialogScript.h"
#include "port/dialogs/QuestionBox.h"
#include "port/dialogs/QuestionBoxScript.h"
#include "port/window/PortWindow.h"
#include "port/window/WindowTestInput.h"
#include "tests/port/DialogWindow.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> kAnswers = {"Save", "Discard", "Cancel"};

class QuestionBoxTest : public ::testing::Test {
protected:
    void SetUp() override { QuestionBoxScriptClear(); }
    void TearDown() override {
        QuestionBoxScriptClear();
        FileDialogForceInteractive(false);
    }
    static size_t Ask() { return AskQuestion("New Scene", "Save first?", kAnswers, 2); }
};

TEST_F(QuestionBoxTest, ScriptedLabelsAnswerInOrderAndNothingScriptedCancelsAtOnce) {
    for (const char* label : {"Discard", "Save", "Nonsense"}) QuestionBoxScriptAnswer(label);
    EXPECT_EQ(Ask(), 1u);
    EXPECT_EQ(Ask(), 0u);
    EXPECT_EQ(Ask(), 2u) << "a label the box does not offer";
    EXPECT_EQ(Ask(), 2u) << "nobody is there to answer";
    const auto& asked = QuestionBoxScriptRequests();
    ASSERT_EQ(asked.size(), 4u);
    EXPECT_EQ(asked[0].caption, "New Scene");
    EXPECT_EQ(asked[0].text, "Save first?");
    EXPECT_EQ(asked[0].answers, kAnswers);
    EXPECT_EQ(asked[1].answer, "Save");
    EXPECT_EQ(asked[3].answer, "Cancel");
}

class QuestionBoxGLTest : public QuestionBoxTest {
protected:
    void SetUp() override {
        QuestionBoxTest::SetUp();
        std::string error;
        ASSERT_TRUE(screen.Open(&error)) << error;
        window = screen.window.get();
    }
    void TearDown() override {
        screen.Close();
        QuestionBoxTest::TearDown();
    }
    DialogWindow screen;
    PortWindow* window = nullptr;
};

TEST_F(QuestionBoxGLTest, EscapeAnswersCancelAndItsReleaseGoesOn) {
    TestPushKey(0x1B, true);
    TestPushKey(0x1B, false);
    EXPECT_EQ(Ask(), 2u);
    WindowEvent e;
    bool sawRelease = false;
    while (window->PollEvent(&e)) sawRelease |= e.kind == WindowEventKind::KeyUp && e.vk == 0x1B;
    EXPECT_TRUE(sawRelease);
}

TEST_F(QuestionBoxGLTest, ClosingTheWindowCancelsAndTheCloseStaysQueued) {
    TestPushClose();
    EXPECT_EQ(Ask(), 2u);
    WindowEvent e;
    ASSERT_TRUE(window->PollEvent(&e));
    EXPECT_EQ(WindowEventKind::Quit, e.kind);
}

// A close pushed before the box is drawn, as the second click of a double
// click on the close button comes: while the program asks about a close it
// is that request, and the box takes the clicked answer; otherwise it
// cancels the box and goes back to the queue.
TEST_F(QuestionBoxGLTest, ASecondCloseBeforeTheCloseQuestionIsSeenLeavesItToBeAnswered) {
    const struct {
        bool answeringClose;
        size_t answer;
        bool closeQueued;
    } rows[] = {{true, 1, false}, {false, 2, true}};
    for (const auto& row : rows) {
        window->SetAnsweringClose(row.answeringClose);
        TestPushClose();
        QuestionBoxScriptClick("Discard");
        EXPECT_EQ(Ask(), row.answer) << row.answeringClose;
        window->SetAnsweringClose(false);
        bool closeQueued = false;
        WindowEvent e;
        while (window->PollEvent(&e)) closeQueued |= e.kind == WindowEventKind::Quit;
        EXPECT_EQ(closeQueued, row.closeQueued) << row.answeringClose;
    }
}
}  // namespace
