// The editor as a designer uses it, in the real executable run headless by
// an input script: pick, delete, Tab, drop a model, save, and load the
// saved scene back.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
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
    EXPECT_EQ(Count(edited, "z = 20,"), 0u) << "the far ship is deleted\n" << edited;
    EXPECT_EQ(Count(edited, "x = 7,"), 0u) << "the object Tab reached is deleted\n" << edited;
    EXPECT_EQ(Count(edited, "x = -7,"), 1u) << edited;
    EXPECT_EQ(Count(edited, "z = 1.2,"), 1u) << "too near to pick\n" << edited;
    EXPECT_EQ(Count(edited, "filename = \"Ship\""), 2u) << "the dropped ship is saved\n" << edited;

    ASSERT_TRUE(
        Run("wait 2\ndialog Edited.scn\npanel MainMenu LoadScene\nwait 1\n"
            "dialog Again.scn\npanel MainMenu SaveSceneAs\nquit\n"));
    EXPECT_EQ(Scene("Again.scn"), edited);
}
}  // namespace
