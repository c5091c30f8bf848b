// The real executable, headless, played through every screen by the
// scripted input driver on a copy of the asset tree with a small level
// named "Tutorial": splash, start, options, controls and credits and back,
// Play, Esc, Resume, Esc, and Quit on the pause screen. The run must end
// by that Quit with status 0, the screens must have run in that order and
// the game paused, resumed and paused again.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "app/SystemTable.h"
#include "tests/app/TempAssetRoot.h"
#include "tests/port/ChildProcess.h"

namespace {

struct Row {
    unsigned long frame;
    std::string message;
};

std::vector<Row> ReadRows(const std::string& path) {
    const std::string text = ReadWholeFile(path);
    static const std::regex kRow("(\\d+)\\t\\d+\\t\\d+\\t0\\tApplication\\t([^\\n]*)\\n");
    std::vector<Row> rows;
    for (std::sregex_iterator it(text.begin(), text.end(), kRow), end; it != end; ++it)
        rows.push_back({std::stoul((*it)[1]), (*it)[2]});
    return rows;
}

// Client pixels of a button centred at (0, y) of screen space at 1024 x 768.
std::string ClickButton(int screenY) {
    return "click 512 " + std::to_string(384 - screenY + 15) + "\n";
}

TEST(ScreensRunGLTest, EveryScreenInTurnThenPauseResumePauseAndQuitEndTheRunWithStatusZero) {
    // Pausing needs a level played under GameLogic.
    const auto& systems = SystemTable::Systems();
    if (std::none_of(systems.begin(), systems.end(), [](const auto& e) { return std::string(e.name) == "GameLogic"; }))
        GTEST_SKIP() << "no GameLogic in the system table yet";
    TempAssetRoot root(TempAssetRoot::Contents::WholeTree, false);
    const std::string dir = root.Dir();
    std::ofstream(dir + "/scene/Tutorial.scn") << "Archetypes = {}\n";
    const std::string back = ClickButton(-270);
    const std::string script =
        "until active StartMenu 400\nwait 2\n" + ClickButton(-50) + "until active OptionsMenu 5\nwait 1\n" + back +
        "until active StartMenu 5\nwait 1\n" + ClickButton(0) + "until active ControlsMenu 5\nwait 1\n" + back +
        "until active StartMenu 5\nwait 1\n" + ClickButton(-100) + "until active CreditsMenu 5\nwait 1\n" + back +
        "until active StartMenu 5\nwait 1\n" + ClickButton(50) + "until inactive StartMenu 5\nwait 3\ntap 0x1B\n" +
        "until running PauseMenu 5\nwait 1\n" + ClickButton(100) +
        "until paused PauseMenu 5\nwait 3\ntap 0x1B\nuntil running PauseMenu 5\nwait 1\n" + ClickButton(-100) +
        "wait 30\n";
    std::ofstream(dir + "/run.script") << script;
    ::setenv("DD_INPUT_SCRIPT", (dir + "/run.script").c_str(), 1);
    ::setenv("DD_FIXED_FRAME_TIME", "0.0166667", 1);
    ChildProcess program = ChildProcess::Exec(dir, {DD_EXECUTABLE});
    ::unsetenv("DD_INPUT_SCRIPT");
    ::unsetenv("DD_FIXED_FRAME_TIME");
    const ChildResult result = program.Wait(280);  // about 330 frames, slow under the sanitizers
    ASSERT_FALSE(result.timedOut);
    EXPECT_TRUE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == 0) << result.status << result.errorText;

    const std::set<std::string> screens = {"SplashScreen", "StartMenu",   "OptionsMenu",
                                           "ControlsMenu", "CreditsMenu", "FinMenu"};
    std::vector<std::string> order, pauses;
    unsigned long lastWait = 0, end = 0;
    for (const Row& row : ReadRows(dir + "/log/Application.log")) {
        EXPECT_EQ(row.message.find("SCRIPT FAILED"), std::string::npos) << row.message;
        static const std::regex kPerf("PERF: (\\w+) ran .*");
        std::smatch m;
        if (std::regex_match(row.message, m, kPerf) && screens.count(m[1]) && (order.empty() || order.back() != m[1]))
            order.push_back(m[1]);
        if (row.message == "PAUSED" || row.message == "UNPAUSED") pauses.push_back(row.message);
        if (row.message == "SCRIPT: wait 30") lastWait = row.frame;
        if (row.message.rfind("Shutdown: frame loop ended", 0) == 0) end = row.frame;
    }
    EXPECT_EQ(order, (std::vector<std::string>{"SplashScreen", "StartMenu", "OptionsMenu", "StartMenu", "ControlsMenu",
                                               "StartMenu", "CreditsMenu", "StartMenu"}));
    EXPECT_EQ(pauses, (std::vector<std::string>{"PAUSED", "UNPAUSED", "PAUSED"}));
    ASSERT_GT(lastWait, 0u) << "the script reached its last line";
    EXPECT_LT(end, lastWait + 5) << "the pause screen's Quit ended the run, not the script";
}

}  // namespace
