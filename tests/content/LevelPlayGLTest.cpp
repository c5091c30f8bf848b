// Each level played in-process from its start to its end at the fixed frame
// time of scripted runs, with the scripted input driver playing a simple
// player (fire toward the middle, sway left and right, boost and shield now
// and then): the level must end completed, by its code -1, within 60 to 180
// seconds of level time, with the ship still alive.
#include <gtest/gtest.h>

#include <sstream>

#include "app/ScriptedRun.h"
#include "frontend/screens/FinMenu.h"
#include "tests/content/LevelWorld.h"

namespace {

constexpr int kWidth = 160, kHeight = 120;
constexpr int kMaxFrames = 190 * 60;  // a little past the longest level time allowed

// What the results screen showed when the level ended.
struct LevelEnd {
    bool ended = false;
    LevelResults outcome;
    float levelTime = 0.0f;
};

// Heads the engine's list: ends the loop once the results screen is up and
// keeps what it shows (the engine deletes its systems when the loop ends).
class LevelEndWatcher : public ISystem {
public:
    explicit LevelEndWatcher(LevelEnd& end) : ISystem(NewId()), end_(end) {}
    void Update(float) override {
        Engine& engine = Engine::Get();
        const FinMenu* results = engine.GetSystem<FinMenu>();
        if (!results || !results->IsActive()) return;
        // The screen has shown its results once: the level time is among them.
        if (!shown_) {
            shown_ = true;
            return;
        }
        end_.ended = true;
        end_.outcome = results->GetResults();
        end_.levelTime = results->GetTime();
        engine.SetActive(false);
    }

private:
    LevelEnd& end_;
    bool shown_ = false;
};

// A plain player's input: the left button held toward the middle of the
// window, then blocks of about four seconds: a sway left and back right, a
// short burst of boost every third block, a short shield every other one.
std::string PlayerScript() {
    std::ostringstream s;
    s << "move " << kWidth / 2 << " " << kHeight / 2 << "\npress left\n";
    for (int frames = 0, block = 0; frames < kMaxFrames; ++block) {
        s << "wait 50\nkey 0x41 down\nwait 24\nkey 0x41 up\nwait 40\nkey 0x44 down\nwait 24\nkey 0x44 up\n";
        frames += 138;
        if (block % 3 == 1) {
            s << "key 0x57 down\nwait 20\nkey 0x57 up\n";
            frames += 20;
        }
        if (block % 2 == 0) {
            s << "key 0x10 down\nwait 30\nkey 0x10 up\n";
            frames += 30;
        }
        s << "wait 20\n";
        frames += 20;
    }
    return s.str();
}

// Plays the level in a small window with the scripted player until it ends
// (or the script does); `run` reports a script that failed.
LevelEnd PlayLevel(const std::string& level, bool* scriptFailed) {
    LevelEnd end;
    LevelWorld world(kWidth, kHeight);
    EXPECT_TRUE(world.Start(new LevelEndWatcher(end)));
    ScriptedRun run;
    world.Script(PlayerScript(), run);
    if (!world.Load(level)) {
        ADD_FAILURE() << level << ": " << SceneLoader::Get().GetLastError();
        return end;
    }
    world.GetEngine().Update(0.0f);  // the frame loop, until the level ends or the script does
    *scriptFailed = run.Failed();
    std::cout << level << ": ended " << end.ended << " after " << end.levelTime << " s with " << end.outcome.lives
              << " lives, " << end.outcome.points << " points, health " << end.outcome.health << ", distance "
              << end.outcome.distance << "\n";
    return end;
}

class LevelPlayGLTest : public ::testing::TestWithParam<std::string> {};

TEST_P(LevelPlayGLTest, ScriptedPlayerReachesTheLevelsEndCodeWithin60To180Seconds) {
    if (!LevelWorld::GameHasCountdown()) GTEST_SKIP() << "no heads-up display yet: the ship would never start";
#if !DD_LEVEL_PLAY_WHOLE
    GTEST_SKIP() << "a whole level is too long for the sanitizer build; TrackTest's run stands in";
#endif
    bool scriptFailed = false;
    const LevelEnd end = PlayLevel(GetParam(), &scriptFailed);
    EXPECT_FALSE(scriptFailed);
    ASSERT_TRUE(end.ended) << GetParam() << " did not end within the script's " << kMaxFrames << " frames";
    EXPECT_FALSE(end.outcome.gameOver) << GetParam() << ": the scripted player lost every life";
    EXPECT_GE(end.levelTime, 60.0f) << GetParam();
    EXPECT_LE(end.levelTime, 180.0f) << GetParam();
}

// The test track's short timeline (every level-scripting class, the
// countdown's spawner) ends with its code -1 too; in every build.
TEST(TrackTestPlayGLTest, ScriptedPlayerReachesTheTracksEndCode) {
    if (!LevelWorld::GameHasCountdown()) GTEST_SKIP() << "no heads-up display yet: the ship would never start";
    bool scriptFailed = false;
    const LevelEnd end = PlayLevel("TrackTest", &scriptFailed);
    EXPECT_FALSE(scriptFailed);
    ASSERT_TRUE(end.ended) << "TrackTest did not end";
    EXPECT_FALSE(end.outcome.gameOver);
    EXPECT_LT(end.levelTime, 60.0f);
}

INSTANTIATE_TEST_SUITE_P(Levels, LevelPlayGLTest, ::testing::ValuesIn(GameLevels()),
                         [](const auto& info) { return info.param; });

}  // namespace
