// The game played through by the real executable, headless with the
// scripted input driver and the fixed frame time: the splash screen, the
// start screen with Play under the pointer, options (where the 800 x 600
// size is chosen: the start is 1024 x 768, and the long rest of the run is
// cheaper small), controls and credits and back, Play, the Tutorial's
// countdown, steering, firing, boosting and shielding, Esc and Esc, the
// level's end and its results, Continue, the countdown of "Gold_Level", Esc,
// and Quit on the pause screen. The run must end by that Quit with status 0,
// with a picture of each screen in the playthrough folder of the build. The
// sanitizer build plays up to the pause screen of the Tutorial and quits
// there.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "app/ClassRegistrations.h"
#include "frontend/screens/FinMenu.h"
#include "tests/port/ChildProcess.h"
#include "tests/support/TempAssetRoot.h"

namespace {

struct Row {
    unsigned long frame;
    std::string message;
};

std::vector<Row> ReadRows(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    static const std::regex kRow("(\\d+)\\t\\d+\\t\\d+\\t0\\tApplication\\t([^\\r\\n]*)\\r?\\n");
    std::vector<Row> rows;
    for (std::sregex_iterator it(text.begin(), text.end(), kRow), end; it != end; ++it)
        rows.push_back({std::stoul((*it)[1]), (*it)[2]});
    return rows;
}

// The window's client size while the script runs a stretch of it.
struct Client {
    int width, height;
};
constexpr Client kStart{1024, 768}, kSmall{800, 600};

// Client pixels of a button centred at (0, y) of screen space (inside the
// button's mouse rectangle).
std::string Click(Client c, float screenY) {
    return "click " + std::to_string(c.width / 2) + " " +
           std::to_string(c.height / 2 - static_cast<int>(screenY) + 15) + "\n";
}
std::string Hover(Client c, float screenY) {
    return "move " + std::to_string(c.width / 2) + " " + std::to_string(c.height / 2 - static_cast<int>(screenY) + 15) +
           "\n";
}

// The menus from the splash screen to Play. On the options screen the
// window leaves full screen (the off button: 274 px right of and 56 px
// below the centre) and takes the 800 x 600 size (65 px right, 115 px up).
std::string MenusToPlay() {
    const auto at = [](int right, int down) {
        return "click " + std::to_string(kStart.width / 2 + right) + " " + std::to_string(kStart.height / 2 + down) +
               "\nwait 2\n";
    };
    const std::string sizeButton = at(274, 56) + at(65, -115);
    const std::string back = Click(kSmall, -270);
    return "wait 20\nshot 01_splash\nuntil active StartMenu 400\nwait 2\n" + Hover(kStart, 50) +
           "wait 4\nshot 02_start\n" + Click(kStart, -50) + "until active OptionsMenu 5\nwait 2\n" + sizeButton +
           "wait 4\nshot 03_options\n" + back + "until active StartMenu 5\nwait 1\n" + Click(kSmall, 0) +
           "until active ControlsMenu 5\nwait 4\nshot 04_controls\n" + back + "until active StartMenu 5\nwait 1\n" +
           Click(kSmall, -100) + "until active CreditsMenu 5\nwait 4\nshot 05_credits\n" + back +
           "until active StartMenu 5\nwait 1\n" + Click(kSmall, 50) + "until inactive StartMenu 5\n";
}

// The Tutorial from its countdown to the pause screen: fire toward the
// middle, steer, boost, shield.
std::string TutorialToPause() {
    const std::string middle =
        "move " + std::to_string(kSmall.width / 2) + " " + std::to_string(kSmall.height / 2) + "\n";
    return "wait 230\nshot 06_countdown\nplace Player\nwait 130\n" + middle +
           "press left\nkey 0x41 down\nwait 30\n"
           "shot 07_steer_fire\nplace Player\nkey 0x41 up\nkey 0x57 down\nwait 30\nshot 08_boost\nkey 0x10 down\nwait "
           "20\n"
           "shot 09_shield\nkey 0x10 up\ntap 0x1B\nuntil running PauseMenu 5\nwait 3\nshot 10_pause\n";
}

// The width and height a PNG file's header gives; 0, 0 when unreadable.
Client PictureSize(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    unsigned char header[24] = {};
    if (!in.read(reinterpret_cast<char*>(header), sizeof header)) return {0, 0};
    const auto word = [&](int at) {
        return static_cast<int>(header[at]) << 24 | header[at + 1] << 16 | header[at + 2] << 8 | header[at + 3];
    };
    return {word(16), word(20)};
}

TEST(PlaythroughGLTest, SplashMenusTutorialResultsContinueAndQuitEndTheRunWithStatusZero) {
    // The levels start with the heads-up display's countdown.
    const ComponentClassList& classes = ClassRegistrations::ComponentClasses();
    if (std::none_of(classes.begin(), classes.end(),
                     [](const auto& c) { return std::string(c.name) == "HUDComponent"; }))
        GTEST_SKIP() << "no heads-up display yet: the levels would not load";
    TempAssetRoot root(TempAssetRoot::Contents::WholeTree, false);
    const std::string dir = root.Dir();
    const std::string shots = DD_PLAYTHROUGH_DIR;
    std::filesystem::remove_all(shots);
    std::filesystem::create_directories(shots);
    std::string script = MenusToPlay() + TutorialToPause();
    std::vector<std::string> pictures = {"01_splash",    "02_start",      "03_options", "04_controls", "05_credits",
                                         "06_countdown", "07_steer_fire", "08_boost",   "09_shield",   "10_pause"};
#if DD_PLAYTHROUGH_WHOLE
    // On through the level with the boost held, to its results; Continue to
    // the next level's countdown; pause it and quit.
    script +=
        "tap 0x1B\nuntil paused PauseMenu 5\nuntil active FinMenu 4000\nwait 4\nshot 11_results\n"
        "release left\nkey 0x57 up\n" +
        Click(kSmall, -50.0f + FinMenu::LayoutShift(ClientRect{0, 0, kSmall.width, kSmall.height})) +
        "until inactive FinMenu 5\nwait 250\nshot 12_next_countdown\ntap 0x1B\n" +
        "until running PauseMenu 5\nwait 3\nshot 13_next_pause\n";
    pictures.insert(pictures.end(), {"11_results", "12_next_countdown", "13_next_pause"});
#endif
    script += Click(kSmall, -100) + "wait 30\n";
    std::ofstream(dir + "/playthrough.script") << script;
    ::setenv("DD_INPUT_SCRIPT", (dir + "/playthrough.script").c_str(), 1);
    ::setenv("DD_FIXED_FRAME_TIME", "0.0166667", 1);
    ::setenv("DD_SHOT_DIR", shots.c_str(), 1);
    ChildProcess program = ChildProcess::Exec(dir, {DD_EXECUTABLE});
    for (const char* name : {"DD_INPUT_SCRIPT", "DD_FIXED_FRAME_TIME", "DD_SHOT_DIR"}) ::unsetenv(name);
    const ChildResult result = program.Wait(1500);  // some 2,500 frames at 1024 x 768
    ASSERT_FALSE(result.timedOut);
    EXPECT_TRUE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == 0) << result.status << result.errorText;

    std::vector<std::string> screens, loads;
    std::vector<std::pair<float, float>> shipPlaces;  // the ship on its circle: countdown, then steering
    unsigned long lastWait = 0, end = 0;
    for (const Row& row : ReadRows(dir + "/log/Application.log")) {
        EXPECT_EQ(row.message.find("SCRIPT FAILED"), std::string::npos) << row.message;
        EXPECT_EQ(row.message.find("SCRIPT REASON"), std::string::npos) << row.message;
        static const std::regex kPerf(
            "PERF: (SplashScreen|StartMenu|OptionsMenu|ControlsMenu|CreditsMenu|FinMenu) ran .*");
        std::smatch m;
        if (std::regex_match(row.message, m, kPerf) && (screens.empty() || screens.back() != m[1]))
            screens.push_back(m[1]);
        if (row.message == "SCRIPT: wait 30") lastWait = row.frame;
        float x, y, z;
        if (std::sscanf(row.message.c_str(), "SCRIPT PLACE: Player %f %f %f", &x, &y, &z) == 3)
            shipPlaces.emplace_back(x, y);
        if (row.message.rfind("Shutdown: frame loop ended", 0) == 0) end = row.frame;
    }
    std::vector<std::string> order = {"SplashScreen", "StartMenu", "OptionsMenu", "StartMenu",
                                      "ControlsMenu", "StartMenu", "CreditsMenu", "StartMenu"};
#if DD_PLAYTHROUGH_WHOLE
    order.push_back("FinMenu");
#endif
    EXPECT_EQ(screens, order);
    ASSERT_GT(lastWait, 0u) << "the script reached its last line";
    EXPECT_LT(end, lastWait + 5) << "the pause screen's Quit ended the run, not the script";
    // Held A during the steering picture carried the ship from the bottom of
    // its circle toward the left, on the same circle.
    ASSERT_EQ(shipPlaces.size(), 2u);
    const auto [countdownX, countdownY] = shipPlaces[0];
    const auto [steerX, steerY] = shipPlaces[1];
    EXPECT_NEAR(countdownX, 0.0f, 1e-3f);
    EXPECT_LT(countdownY, 0.0f);
    EXPECT_LT(steerX, -1.0f) << "steering left did not move the ship";
    EXPECT_NEAR(std::hypot(steerX, steerY), -countdownY, 1e-2f);
    // The options screen's size button made the window 800 x 600 at once.
    for (const std::string& picture : pictures) {
        const Client size = PictureSize(shots + "/" + picture + ".png");
        const Client expected = picture < "03" ? kStart : kSmall;
        EXPECT_TRUE(size.width == expected.width && size.height == expected.height)
            << picture << " is " << size.width << " x " << size.height;
    }
}

}  // namespace
