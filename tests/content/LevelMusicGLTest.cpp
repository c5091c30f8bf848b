// The level's music in the game's own flow, heard in the AudioSystem's
// loopback mix while the whole program runs in-process with scripted input:
// the start screen's music, Play, the level load that stops it, the level's
// first frame (as long as a real one, longer than the music queued in the
// mixer), the level's own loop under the effects after the countdown's "go",
// Esc and Esc (the music ducked and back), the level's end (ducked under the
// results), and Continue, where the next level's loop takes over.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "app/Entry.h"
#include "app/ScriptedRun.h"
#include "frontend/screens/FinMenu.h"
#include "frontend/screens/StartMenu.h"
#include "game/scene/GameLogic.h"
#include "platform/AudioSystem.h"
#include "tests/content/LevelWorld.h"

namespace {

// High enough for the results screen's buttons to stay inside the window.
constexpr int kWidth = 320, kHeight = 480;
constexpr float kFrame = 0.0166667f;
// A level's first frame, in which the driver makes the level's shaders:
// 0.76-0.81 s on a desktop, 1.7-2 s headless on a busy machine; longer than
// the music queued in the mixer.
constexpr float kFirstLevelFrame = 2.0f;
// The quietest tenth of a second of any level's loop, at the level's music
// volume, is far above this; the mix between effects is exactly 0 without music.
constexpr float kHeard = 0.003f;
constexpr int kWindowFrames = 6;  // a tenth of a second

// One frame of the mix and what the game showed in it.
struct FrameSound {
    float rms = 0.0f;
    std::string scene;  // the loaded level's file name, empty when none
    bool menu = false;
    bool afterGo = false;  // the level's countdown has said "go"
    bool paused = false;   // the game is paused (pause or results screen)
    bool results = false;
    bool afterPause = false;  // the level has been paused and resumed since "go"
    AudioSound music;         // what the music channel plays
};

// Heads the engine's list: renders each frame's stretch of the mix (the
// level's first frame is long) and notes the game's state; ends the level
// through its completion code once the script has paused and resumed it.
class MixRecorder : public ISystem {
public:
    explicit MixRecorder(std::vector<FrameSound>& frames) : ISystem(NewId()), frames_(frames) {}

    void Init() override { Subscribe(kMsgCountdownOver); }
    void HandleMessage(Message* message) override {
        if (message->Is(kMsgCountdownOver)) afterGo_ = true;
    }

    void Update(float) override {
        Engine& engine = Engine::Get();
        auto* audio = engine.GetSystem<AudioSystem>();
        const SceneManager& scenes = SceneManager::Get();
        FrameSound frame;
        frame.scene = scenes.IsLoaded() ? scenes.GetName() : "";
        if (frame.scene != lastScene_) afterGo_ = false;
        const float seconds = !frame.scene.empty() && frame.scene != lastScene_ ? kFirstLevelFrame : kFrame;
        lastScene_ = frame.scene;
        std::vector<float> mix(static_cast<std::size_t>(seconds * AudioDevice::kLoopbackRate) * 2);
        audio->Device().RenderLoopback(mix.data(), static_cast<int>(mix.size() / 2));
        double sum = 0.0;
        for (float s : mix) sum += static_cast<double>(s) * s;
        frame.rms = static_cast<float>(std::sqrt(sum / static_cast<double>(mix.size())));
        frame.menu = engine.GetSystem<StartMenu>()->IsActive();
        frame.afterGo = afterGo_;
        frame.paused = audio->IsPaused();
        frame.results = engine.GetSystem<FinMenu>()->IsActive();
        frame.music = audio->GetMusicChannel().IsPlaying() ? audio->GetMusicChannel().GetCurrentSound() : AudioSound{};
        if (frame.afterGo && frame.paused && !frame.results) pausedSeen_ = true;
        frame.afterPause = pausedSeen_ && !frame.paused;
        frames_.push_back(frame);

        if (frame.afterPause && ++sinceResume_ == 90) ::Broadcast(kMsgTriggerCode, 0, GameLogic::kLevelCompleteCode);
    }

private:
    std::vector<FrameSound>& frames_;
    std::string lastScene_;
    bool afterGo_ = false;
    bool pausedSeen_ = false;
    int sinceResume_ = 0;
};

// Client pixels inside the mouse rectangle of a button whose rectangle's
// top edge stands `top` pixels from the window's centre.
std::string Click(int top) {
    return "click " + std::to_string(kWidth / 2) + " " + std::to_string(kHeight / 2 + top + 20) + "\n";
}

// The player: a second of the start screen, Play, five seconds of the level
// after its countdown, Esc and Esc, then (the level ended by the recorder)
// the results and Continue.
std::string PlayerScript() {
    std::ostringstream s;
    s << "until active StartMenu 400\nwait 60\n" << Click(-55) << "until inactive StartMenu 5\nmove 4 4\n";
    s << "wait 400\nwait 300\ntap 0x1B\nwait 60\ntap 0x1B\n";
    // The results screen moves down in a window this low, mouse rectangles too.
    const float shift = FinMenu::LayoutShift(ClientRect{0, 0, kWidth, kHeight});
    s << "until active FinMenu 300\nwait 60\n"
      << Click(45 - static_cast<int>(shift)) << "until inactive FinMenu 5\nwait 120\nquit\n";
    return s.str();
}

// The rms of each run of kWindowFrames frames that pass `keep`, in order.
template <class Keep>
std::vector<float> Windows(const std::vector<FrameSound>& frames, Keep keep) {
    std::vector<float> windows;
    double sum = 0.0;
    int n = 0;
    for (const FrameSound& frame : frames) {
        if (!keep(frame)) {
            sum = 0.0;
            n = 0;
            continue;
        }
        sum += static_cast<double>(frame.rms) * frame.rms;
        if (++n == kWindowFrames) {
            windows.push_back(static_cast<float>(std::sqrt(sum / n)));
            sum = 0.0;
            n = 0;
        }
    }
    return windows;
}

float Mean(const std::vector<float>& values) {
    double sum = 0.0;
    for (float v : values) sum += v;
    return values.empty() ? 0.0f : static_cast<float>(sum / static_cast<double>(values.size()));
}

template <class Which>
std::size_t Count(const std::vector<FrameSound>& frames, Which which) {
    return static_cast<std::size_t>(std::count_if(frames.begin(), frames.end(), which));
}

float Quietest(const std::vector<float>& values) {
    float least = values.empty() ? 0.0f : values.front();
    for (float v : values) least = std::min(least, v);
    return least;
}

TEST(LevelMusicGLTest, EachLevelsLoopIsHeardFromItsStartUnderPauseAndResultsAndGivesWayToTheNext) {
    if (!LevelWorld::GameHasCountdown()) GTEST_SKIP() << "no heads-up display yet: the ship would never start";
    std::vector<FrameSound> frames;
    LevelWorld world(kWidth, kHeight);
    ASSERT_TRUE(world.Start(new MixRecorder(frames), [](Engine& engine) {
        engine.RemoveSystem(engine.GetSystem<AudioSystem>());
        engine.AddSystem(new AudioSystem(AudioDevice::Output::Loopback));
    }));
    ScriptedRun run;
    world.Script(PlayerScript(), run);
    auto* audio = world.GetEngine().GetSystem<AudioSystem>();
    ASSERT_FALSE(audio->Device().IsSilent()) << audio->Device().ErrorText();
    const AudioSound menuLoop = audio->GetMusicStream("Menu_loop");
    const AudioSound tutorialLoop = audio->GetMusicStream("Tutorial_loop");
    const AudioSound goldLoop = audio->GetMusicStream("Gold_loop");
    ASSERT_TRUE(menuLoop && tutorialLoop && goldLoop);
    StartFromCommandLine("", &world.GetEngine());  // the splash screen, then the frame loop until the script quits
    EXPECT_FALSE(run.Failed());

    const auto in = [](const std::string& level) {
        return [level](const FrameSound& f) { return f.scene.find(level) != std::string::npos; };
    };
    const auto tutorial = in("Tutorial.scn");
    const auto gold = in("Gold_Level.scn");

    const std::vector<float> menu = Windows(frames, [](const FrameSound& f) { return f.menu; });
    ASSERT_FALSE(menu.empty());
    EXPECT_GT(Mean(menu), kHeard) << "the start screen's music";

    // From "go" on, the level's loop fills every tenth of a second, also
    // between the effects.
    const std::vector<float> playing =
        Windows(frames, [&](const FrameSound& f) { return tutorial(f) && f.afterGo && !f.paused; });
    ASSERT_GE(playing.size(), 40u) << "the script did not play five seconds after go";
    EXPECT_GT(Quietest(playing), kHeard) << "the level's music is not in the mix";
    EXPECT_EQ(Count(frames, [&](const FrameSound& f) { return tutorial(f) && f.afterGo && f.music != tutorialLoop; }),
              0u)
        << "frames after go whose music channel did not play the level's loop";

    // The pause screen and the results duck the music to a fifth of what
    // it is once resumed; it plays on.
    const std::vector<float> resumed =
        Windows(frames, [&](const FrameSound& f) { return tutorial(f) && f.afterPause && !f.results; });
    const std::vector<float> paused =
        Windows(frames, [&](const FrameSound& f) { return tutorial(f) && f.paused && !f.results; });
    const std::vector<float> results = Windows(frames, [&](const FrameSound& f) { return tutorial(f) && f.results; });
    ASSERT_GE(resumed.size(), 10u);
    ASSERT_GE(paused.size(), 5u);
    ASSERT_GE(results.size(), 5u);
    EXPECT_GT(Quietest(resumed), kHeard);
    for (const std::vector<float>* ducked : {&paused, &results}) {
        EXPECT_GT(Quietest(*ducked), 0.0f);
        EXPECT_LT(Mean(*ducked), 0.4f * Mean(resumed));
    }

    // Continue: the Tutorial's loop is stopped and the next level's loop is
    // heard from its first frames on, through its countdown.
    const std::vector<float> next = Windows(frames, gold);
    ASSERT_GE(next.size(), 15u) << "Continue did not load the next level";
    EXPECT_GT(Quietest(std::vector<float>(next.begin() + 1, next.end())), kHeard);
    EXPECT_EQ(Count(frames, [&](const FrameSound& f) { return gold(f) && f.music == tutorialLoop; }), 0u);
    EXPECT_EQ(frames.back().music, goldLoop);
}

}  // namespace
