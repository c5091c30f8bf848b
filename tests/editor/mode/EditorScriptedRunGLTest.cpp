// The editor as a designer uses it, in the real executable run headless by
// an input script: pick, delete, Tab, drop a model, values typed into the
// panels, save, and load the saved scene back; the Save / Discard / Cancel
// box of New Scene and of closing the window, its buttons clicked.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/port/ChildProcess.h"
#include "tests/support/TempAssetRoot.h"

namespace {
std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

class EditorScriptedRunGLTest : public ::testing::Test {
protected:
    // Runs "-e" with the script in the asset copy; true when it exits 0.
    bool Run(const std::string& text) {
        const std::string script = dir_ + "/run.script";
        std::ofstream(script) << text;
        ::setenv("DD_INPUT_SCRIPT", script.c_str(), 1);
        ::setenv("DD_FIXED_FRAME_TIME", "0.0166667", 1);
        ChildProcess program = ChildProcess::Exec(dir_, {DD_EXECUTABLE, "-e"});
        for (const char* name : {"DD_INPUT_SCRIPT", "DD_FIXED_FRAME_TIME"}) ::unsetenv(name);
        const ChildResult result = program.Wait(240);
        const bool ok = !result.timedOut && WIFEXITED(result.status) && WEXITSTATUS(result.status) == 0;
        EXPECT_TRUE(ok) << result.status << "\n" << result.errorText;
        return ok;
    }
    std::string Scene(const std::string& name) const { return ReadFile(dir_ + "/scene/" + name); }
    // The object the last run made for the first component of the class ("" when none).
    std::string MadeObjectId(const std::string& className) const {
        const std::string log = ReadFile(dir_ + "/log/Application.log");
        const std::regex made("Adding component \\d+ of type \\(" + className + "\\) to game object: (\\d+)");
        std::smatch m;
        return std::regex_search(log, m, made) ? m[1].str() : std::string();
    }

    TempAssetRoot root_{TempAssetRoot::Contents::WholeTree, false};
    const std::string dir_ = root_.Dir();
};

// Far ship on the centre ray, a near ship closer than the pick distance, two
// empty objects beside the ray.
const char* const kScene =
    "Archetypes = {\n\t\"\",\n}\n\nInstances = {\n"
    "\t{SceneGUID = 1000, Transform = {position = {z = 20, y = 0, x = 0, }, }, Model = {filename = \"Ship\", }, },\n"
    "\t{SceneGUID = 1001, Transform = {position = {z = 1.2, y = 0, x = 0, }, }, Model = {filename = \"Ship\", }, },\n"
    "\t{SceneGUID = 1002, Transform = {position = {z = 5, y = 0, x = 7, }, }, },\n"
    "\t{SceneGUID = 1003, Transform = {position = {z = 5, y = 0, x = -7, }, }, },\n"
    "}\n";

TEST_F(EditorScriptedRunGLTest, PickDeleteTabDropAndSaveWriteTheEditedScene) {
    std::ofstream(dir_ + "/scene/Picks.scn") << kScene;
    ASSERT_TRUE(
        Run("wait 2\ndialog Picks.scn\npanel MainMenu LoadScene\nwait 2\n"
            "tap 0x24\nwait 2\nmove 512 384\nwait 2\nclick 512 384\nwait 2\ntap 0x2E\nwait 2\n"
            "tap 0x09\nwait 2\ntap 0x2E\nwait 2\n"
            "drop model/Ship.bin\nwait 2\n"
            "dialog Edited.scn\npanel MainMenu SaveSceneAs\nquit\n"));
    const std::string edited = Scene("Edited.scn");
    ASSERT_FALSE(edited.empty());
    EXPECT_EQ(Count(edited, "SceneGUID = "), 3u) << edited;
    EXPECT_EQ(Count(edited, "z = 20,"), 0u) << "the far ship is deleted (the near one is too near to pick)\n" << edited;
    // Tab goes on in creation order after the deleted first object: to the
    // near ship, which Delete deletes.
    EXPECT_EQ(Count(edited, "z = 1.2,"), 0u) << "the object Tab reached is deleted\n" << edited;
    EXPECT_EQ(Count(edited, "x = 7,"), 1u) << edited;
    EXPECT_EQ(Count(edited, "x = -7,"), 1u) << edited;
    EXPECT_EQ(Count(edited, "filename = \"Ship\""), 1u) << "the dropped ship is saved, both others deleted\n" << edited;

    ASSERT_TRUE(
        Run("wait 2\ndialog Edited.scn\npanel MainMenu LoadScene\nwait 1\n"
            "dialog Again.scn\npanel MainMenu SaveSceneAs\nquit\n"));
    EXPECT_EQ(Scene("Again.scn"), edited);
}

// A ship X ahead of the start camera and an empty object E at the origin.
const char* const kMoveScene =
    "Archetypes = {\n\t\"\",\n}\n\nInstances = {\n"
    "\t{SceneGUID = 1000, Transform = {position = {z = 20, y = 0, x = 0, }, }, Model = {filename = \"Ship\", }, },\n"
    "\t{SceneGUID = 1001, Transform = {position = {z = 0, y = 0, x = 0, }, }, },\n"
    "}\n";

// Ctrl (left) held around a tap of the key.
std::string CtrlTap(const char* key) {
    return std::string("key 0xA2 down\ntap ") + key + "\nkey 0xA2 up\nwait 2\n";
}

TEST_F(EditorScriptedRunGLTest, StepsUndoRedoDragParentCopyAndPasteWriteTheEditedScene) {
    std::ofstream(dir_ + "/scene/Moves.scn") << kMoveScene;
    const std::string steps = "tap 0x57\nwait 2\n";
    ASSERT_TRUE(
        Run("wait 2\ndialog Moves.scn\npanel MainMenu LoadScene\nwait 2\n"
            "tap 0x24\nwait 2\nmove 512 384\nwait 2\nclick 512 384\nwait 2\n"
            // M, Y, W three times: X at y 3; undo, redo, undo: y 2.
            "tap 0x4D\nwait 2\ntap 0x59\nwait 2\n" +
            steps + steps + steps + CtrlTap("0x5A") + CtrlTap("0x59") + CtrlTap("0x5A") +
            // Home onto X, drag it sideways, undo the drag.
            "tap 0x24\nwait 2\nmove 512 384\nwait 2\npress left\nwait 1\nmove 540 384\nwait 1\n"
            "move 580 384\nwait 1\nmove 620 390\nwait 1\nrelease left\nwait 2\n" +
            CtrlTap("0x5A") +
            // Tab to E, P + click on X: X becomes E's child.
            "tap 0x09\nwait 2\nkey 0x50 down\nclick 512 384\nwait 2\nkey 0x50 up\nwait 2\n"
            // Select X, copy and paste it.
            "click 512 384\nwait 2\n" +
            CtrlTap("0x43") + CtrlTap("0x56") + "dialog Moved.scn\npanel MainMenu SaveSceneAs\nquit\n"));
    const std::string moved = Scene("Moved.scn");
    ASSERT_FALSE(moved.empty());
    EXPECT_EQ(Count(moved, "SceneGUID = "), 3u) << moved;
    EXPECT_EQ(Count(moved, "filename = \"Ship\""), 2u) << "X and its copy\n" << moved;
    EXPECT_EQ(Count(moved, "z = 20,"), 2u) << "both at (0, 2, 20)\n" << moved;
    EXPECT_EQ(Count(moved, "y = 2,"), 2u) << "both at (0, 2, 20)\n" << moved;
    const size_t parents = moved.find("ParentChild = {");
    const size_t crawlers = moved.find("SplineCrawlers = {");
    ASSERT_TRUE(parents != std::string::npos && crawlers != std::string::npos && parents < crawlers) << moved;
    const std::string links = moved.substr(parents, crawlers - parents);
    EXPECT_EQ(Count(links, "{ Parent = "), 2u) << links;

    ASSERT_TRUE(
        Run("wait 2\ndialog Moved.scn\npanel MainMenu LoadScene\nwait 1\n"
            "dialog MovedAgain.scn\npanel MainMenu SaveSceneAs\nquit\n"));
    EXPECT_EQ(Scene("MovedAgain.scn"), moved);
}

// New Scene's question and the close's, their buttons clicked: Discard
// drops the scene, Save writes it first. A close unanswered (nobody there)
// or answered Cancel keeps the editor running with the scene as it is; one
// answered Save ends the run after the save, before the script's last save.
TEST_F(EditorScriptedRunGLTest, NewSceneAndClosingTheWindowTakeTheClickedAnswer) {
    ASSERT_TRUE(
        Run("wait 2\npanel ComponentsList GlobalLighting\nwait 2\n"
            "answer Discard\npanel MainMenu NewScene\nwait 2\n"
            "panel ComponentsList Damage\nwait 2\n"
            "answer Save\ndialog New.scn\npanel MainMenu NewScene\nwait 2\n"
            "panel ComponentsList GlobalLighting\nwait 2\nclose\nwait 5\n"
            "answer Cancel\nclose\nwait 5\n"
            "panel ComponentsList Damage\nwait 2\n"
            "answer Save\ndialog Closed.scn\nclose\nwait 5\n"
            "dialog Never.scn\npanel MainMenu SaveSceneAs\n"));
    const std::string saved = Scene("New.scn");
    EXPECT_EQ(Count(saved, "Damage = "), 1u) << saved;
    EXPECT_EQ(Count(saved, "GlobalLighting = "), 0u) << "discarded by the first New Scene\n" << saved;
    const std::string closed = Scene("Closed.scn");
    EXPECT_EQ(Count(closed, "GlobalLighting = "), 1u) << closed;
    EXPECT_EQ(Count(closed, "Damage = "), 1u) << "made after two closes were cancelled\n" << closed;
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/scene/Never.scn")) << "the run ended at the close";
}
// A carrier and its track made from the panels, a value typed into every
// number entry of both (the integers too, and the entries the bar shows only
// after a scroll), then saved: the file holds each value typed.
TEST_F(EditorScriptedRunGLTest, AValueTypedIntoEveryNumberEntryOfACarrierAndItsTrackIsSaved) {
    // The carrier's link is typed as its own object's id, which the same
    // steps give the same object in every run.
    const std::string made = "wait 2\npanel ComponentsList SplineCrawler\ntap 0x09\n";
    ASSERT_TRUE(Run(made + "quit\n"));
    const std::string carrier = MadeObjectId("SplineCrawler");
    ASSERT_FALSE(carrier.empty());
    struct Typed {
        std::string entry, text, saved;
    };
    const std::vector<Typed> typed = {
        {"SplineCrawler.persistVelocity", "56", " persistVelocity = 56,"},
        {"SplineCrawler.persistAcceleration", "7", " persistAcceleration = 7,"},
        {"SplineCrawler.minVelocity", "55", " minVelocity = 55,"},
        {"SplineCrawler.maxVelocity", "300", " maxVelocity = 300,"},
        {"SplineCrawler.lookAheadDistance", "0.25", " lookAheadDistance = 0.25,"},
        {"SplineCrawler.distance", "12.5", " distance = 12.5,"},
        {"SplineCrawler.splineGameObjectID", carrier, "{ SplineCrawler = 1000, Spline = 1000}"},
        {"SplineCrawler.returnToInitVelAccelAmount", "80", " returnToInitVelAccelAmount = 80,"},
        {"SplineCrawler.positiveBonusWaitTime", "4", " positiveBonusWaitTime = 4,"},
        {"SplineCrawler.negativeBonusWaitTime", "2", " negativeBonusWaitTime = 2,"},
        {"PlayerPath.splineLookAtDistance", "0.5", " splineLookAtDistance = 0.5,"},
        {"PlayerPath.tunnelRadius", "25", " tunnelRadius = 25,"},
        {"PlayerPath.tunnelSideCount", "14", " tunnelSideCount = 14,"},
        {"PlayerPath.material.tileFactor.x", "2", "tileFactor = { y = 3, x = 2,  }"},
        {"PlayerPath.material.tileFactor.y", "3", "tileFactor = { y = 3, "},
        {"PlayerPath.frameDelta", "12", " frameDelta = 12,"},
    };
    std::string script = made + "panel ComponentsList PlayerPath\ntap 0x09\n";
    for (const Typed& t : typed) script += "panel Selected " + t.entry + "\ntype " + t.text + "\ntap 0x0D\n";
    ASSERT_TRUE(Run(script + "dialog Typed.scn\npanel MainMenu SaveSceneAs\nquit\n"));
    ASSERT_EQ(MadeObjectId("SplineCrawler"), carrier) << "the steps made another object";
    const std::string saved = Scene("Typed.scn");
    ASSERT_FALSE(saved.empty());
    for (const Typed& t : typed) EXPECT_NE(saved.find(t.saved), std::string::npos) << t.entry << "\n" << saved;
}

// A double click on the close button (two closes before the box is drawn)
// is one request: the box is asked once and its answer holds. Cancel keeps
// the editor with its scene; Save writes it and ends the run there.
TEST_F(EditorScriptedRunGLTest, TwoClosesAtOnceAskOnceAndTakeTheClickedAnswer) {
    ASSERT_TRUE(
        Run("wait 2\npanel ComponentsList GlobalLighting\nwait 2\n"
            "close\nclose\nanswer Cancel\nwait 5\n"
            "panel ComponentsList Damage\nwait 2\n"
            "close\nclose\nanswer Save\ndialog Closed.scn\nwait 5\n"
            "panel ComponentsList Transform\nwait 2\n"));
    const std::string closed = Scene("Closed.scn");
    EXPECT_EQ(Count(closed, "GlobalLighting = "), 1u) << closed;
    EXPECT_EQ(Count(closed, "Damage = "), 1u) << "made after the first two closes were cancelled\n" << closed;
    const std::string log = ReadFile(dir_ + "/log/Application.log");
    EXPECT_EQ(log.find("SCRIPT: panel ComponentsList Transform"), std::string::npos) << "the run ended at the close";
}
}  // namespace
