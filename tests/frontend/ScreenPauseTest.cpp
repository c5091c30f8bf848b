// Pausing and resuming, restarting, the screens opened from the pause
// screen, and the results screen's labels and level sequence.
#include <climits>

#include "engine/Transform.h"
#include "frontend/controls/GameFlow.h"
#include "game/scene/LevelResultsReceiver.h"
#include "render/mesh/Model.h"
#include "render/text/ScreenText.h"
#include "tests/frontend/ScreenWorld.h"

namespace {

class ScreenPauseTest : public ScreenWorld {
protected:
    void SetUp() override {
        for (const char* level : {"Tutorial", "Gold_Level", "Forward_Momentum"}) AddScene(level);
        GameFlow::Show(splash);
        Frame(0.0f);
        Frame(3.5f);
        Frame();
        running_ = PauseState();
    }
    void Play() {
        ClickButtonAt(50.0f);
        ASSERT_TRUE(scenes.IsLoaded());
    }
    void EndLevel(bool gameOver) {
        LevelResults results;
        results.gameOver = gameOver;
        ASSERT_TRUE(HandOverLevelResults(TypeId<FinMenu>::Get(), results));
        Frame();
    }
    std::string LoadedLevel() const {
        const std::string& name = scenes.GetName();
        const std::size_t slash = name.find_last_of('/');
        return name.substr(slash == std::string::npos ? 0 : slash + 1);
    }
    // The game runs and the pause screen is hidden.
    void ExpectRunning() {
        EXPECT_EQ(PauseState(), running_);
        EXPECT_TRUE(pause->IsActive());
        EXPECT_FALSE(gui->IsGroupEnabled(3));
        EXPECT_TRUE(gui->IsGroupEnabled(4));
    }
    std::vector<bool> running_;
};

TEST_F(ScreenPauseTest, EscTwiceRestoresEveryPausedFlagAndTheGlowAndLogsBothStates) {
    Play();
    ExpectRunning();
    TapEscape();
    EXPECT_EQ(PauseState(), (std::vector<bool>{false, true, true, true, true, true, false}));
    EXPECT_TRUE(gui->IsGroupEnabled(3));
    EXPECT_EQ(drawn.size(), 7u + 1u) << "title, five buttons and the cursor, and the cursor's own draw";
    TapEscape();
    ExpectRunning();
    std::vector<std::pair<unsigned, std::string>> rows;
    ASSERT_TRUE(log.Finish(rows));
    std::vector<std::string> states;
    for (const auto& [frame, text] : rows)
        if (text == "PAUSED" || text == "UNPAUSED") states.push_back(text);
    EXPECT_EQ(states, (std::vector<std::string>{"PAUSED", "UNPAUSED"}));
}

using ScreenPauseAtSplashTest = ScreenWorld;

TEST_F(ScreenPauseAtSplashTest, EscDuringTheSplashLeavesThePauseButtonsOffForTheStartScreen) {
    GameFlow::Show(splash);
    Frame(0.0f);
    ASSERT_TRUE(gui->IsGroupEnabled(4)) << "the pause key is live during the splash";
    const std::vector<bool> before = PauseState();
    TapEscape();
    EXPECT_EQ(PauseState(), before);
    EXPECT_FALSE(gui->IsGroupEnabled(3));
    Frame(3.5f);
    ASSERT_TRUE(start->IsActive());
    ClickButtonAt(0.0f);  // Controls, where the pause screen's Controls would lie too
    EXPECT_EQ(controls->GetObjectList().size(), 3u) << "built once";
    ClickButtonAt(-270.0f);
    ClickButtonAt(-100.0f);  // Credits, under the pause screen's Quit
    EXPECT_TRUE(engine->IsActive());
    EXPECT_TRUE(credits->IsActive());
}

TEST_F(ScreenPauseTest, EscOnTheStartScreenAndAfterAFailedLoadChangesNothing) {
    TapEscape();
    EXPECT_EQ(PauseState(), running_);
    EXPECT_FALSE(gui->IsGroupEnabled(3));
    std::filesystem::remove(folders.scene.GetFullPath("Tutorial"));
    ClickButtonAt(50.0f);
    ASSERT_FALSE(scenes.IsLoaded());
    ASSERT_FALSE(gui->IsGroupEnabled(4));
    TapEscape();
    EXPECT_EQ(PauseState(), running_);
    EXPECT_FALSE(gui->IsGroupEnabled(3));
}

TEST_F(ScreenPauseTest, PlayOfAMissingLevelLeavesTheStartScreenUp) {
    const std::string tutorial = folders.scene.GetFullPath("Tutorial");
    std::filesystem::remove(tutorial);
    ClickButtonAt(50.0f);
    EXPECT_FALSE(scenes.IsLoaded());
    EXPECT_EQ(logic->clears, 0) << "nothing was cleared";
    EXPECT_TRUE(start->IsActive());
    EXPECT_TRUE(gui->IsGroupEnabled(6)) << "its buttons answer";
    EXPECT_FALSE(gui->IsGroupEnabled(4)) << "Esc stays off";
    EXPECT_EQ(PauseState(), running_);
    // The level comes back: Play plays it.
    AddScene("Tutorial");
    Play();
    EXPECT_FALSE(start->IsActive());
    ExpectRunning();
    EXPECT_GE(LogCapture::CountContaining(log.Messages(), tutorial), 1u);
}

TEST_F(ScreenPauseTest, ContinueToAMissingLevelLeavesTheResultsScreenUpWithItsLevel) {
    Play();
    EndLevel(false);
    const std::vector<bool> results = PauseState();
    const std::string gold = folders.scene.GetFullPath("Gold_Level");
    std::filesystem::remove(gold);
    ClickButtonAt(-53.0f);  // Continue
    EXPECT_TRUE(fin->IsActive());
    EXPECT_FALSE(pause->IsActive());
    EXPECT_EQ(PauseState(), results);
    EXPECT_FALSE(gui->IsGroupEnabled(4));
    EXPECT_TRUE(gui->IsGroupEnabled(5)) << "its buttons answer";
    EXPECT_EQ(fin->GetNextLevelIndex(), 1u) << "the sequence stays";
    EXPECT_TRUE(scenes.IsLoaded());
    EXPECT_EQ(LoadedLevel(), "Tutorial.scn");
    EXPECT_EQ(logic->loads, 1);
    // The level it ended can still be played again, and the missing one once it is back.
    ClickButtonAt(0.0f);  // Restart
    EXPECT_EQ(logic->loads, 2);
    ExpectRunning();
    EndLevel(false);
    AddScene("Gold_Level");
    ClickButtonAt(-53.0f);
    EXPECT_EQ(LoadedLevel(), "Gold_Level.scn");
    ExpectRunning();
    EXPECT_GE(LogCapture::CountContaining(log.Messages(), gold), 1u);
}

TEST_F(ScreenPauseTest, RestartOfALevelWhoseFileHasGoneLetsTheLevelGoOn) {
    Play();
    Frames(10);
    TapEscape();
    const float time = physics->GetTotalTime();
    std::filesystem::remove(folders.scene.GetFullPath("Tutorial"));
    ClickButtonAt(50.0f);  // Restart
    EXPECT_EQ(logic->loads, 1);
    EXPECT_TRUE(scenes.IsLoaded());
    EXPECT_FALSE(pause->IsPaused()) << "the pause screen stays up";
    EXPECT_EQ(physics->GetTotalTime(), time);
    TapEscape();
    ExpectRunning();
}

TEST_F(ScreenPauseTest, RestartZeroesTheLevelTimeAndReloadsTheScene) {
    Play();
    Frames(10);
    EXPECT_GT(physics->GetTotalTime(), 0.1f);
    TapEscape();
    ClickButtonAt(50.0f);  // Restart, before Physics runs the frame's step
    EXPECT_EQ(physics->GetTotalTime(), 0.0166667f);
    EXPECT_EQ(logic->loads, 2);
    EXPECT_EQ(LoadedLevel(), "Tutorial.scn");
    ExpectRunning();
}

TEST_F(ScreenPauseTest, TheFirstLevelsResultsTimeIsItsOwnPlayTime) {
    // SetUp spent 3.5 s of frames on the splash screen and more on the start screen.
    ClickButtonAt(-100.0f);  // Credits
    Frames(30);
    ClickButtonAt(-270.0f);  // Back
    ASSERT_TRUE(start->IsActive());
    Play();  // the load comes in the click's second frame, before Physics steps in it
    Frames(40);
    EndLevel(false);
    // The steps that ran, times the step.
    auto steps = [](int count) { return static_cast<float>(count * static_cast<double>(Physics::kStep)); };
    EXPECT_EQ(fin->GetTime(), steps(41));
    // Continue's level starts at 0 too.
    ClickButtonAt(-53.0f);
    Frames(5);
    EndLevel(false);
    EXPECT_EQ(fin->GetTime(), steps(6));
}

TEST_F(ScreenPauseTest, TheResultsTimeIsTheSimulatedTimeAtAnyFrameRate) {
    // A slow machine (5 frames a second) runs one step a frame and the world
    // in slow motion; frames of 1/60 s, a little shorter than the step, run
    // one every second frame. The same 60 steps show the same time.
    const struct {
        float frameTime;
        int frames;
    } runs[] = {{0.2f, 60}, {1.0f / 60.0f, 120}};
    Play();
    std::vector<float> shown;
    for (const auto& run : runs) {
        physics->Clear();  // as the level's load does
        for (int frame = 0; frame < run.frames; ++frame) Frame(run.frameTime);
        EndLevel(false);
        shown.push_back(fin->GetTime());
        ClickButtonAt(0.0f);  // Restart
        ExpectRunning();
    }
    EXPECT_EQ(shown[0], shown[1]);
    EXPECT_FLOAT_EQ(shown[0], 60 * Physics::kStep);
}

TEST_F(ScreenPauseTest, ControlsAndOptionsFromThePauseScreenReturnToItAndEscResumes) {
    Play();
    for (float opener : {0.0f, -50.0f}) {
        TapEscape();
        ClickButtonAt(opener);
        MenuScreen* screen = opener == 0.0f ? static_cast<MenuScreen*>(controls) : options;
        ASSERT_TRUE(screen->IsActive());
        EXPECT_FALSE(pause->IsActive());
        TapEscape();
        EXPECT_TRUE(screen->IsActive()) << "Esc does nothing on that screen";
        ClickButtonAt(-270.0f);
        EXPECT_FALSE(screen->IsActive());
        EXPECT_TRUE(pause->IsActive());
        EXPECT_FALSE(pause->IsPaused()) << "the pause screen is up again";
        EXPECT_TRUE(gui->IsGroupEnabled(3));
        EXPECT_FALSE(start->IsActive()) << "the start pair stays off";
        TapEscape();
        ExpectRunning();
    }
}

TEST_F(ScreenPauseTest, ResultsLabelsReadByteForByte) {
    LevelResults r;
    r.lives = 2;
    r.averageSpeed = 40;
    r.distance = 5321;
    r.points = 1500;
    r.health = 60;
    EXPECT_EQ(
        FinMenu::LabelTexts(r, 83.25f),
        (std::vector<std::string>{"Total Score: 42661", "Time: 83.25", "Lives Remaining: 2", "Average Speed: 40 mps",
                                  "Distance Traveled: 5321 m", "Health Remaining: 60", "Points Scored: 1500"}));
    EXPECT_EQ(FinMenu::LabelTexts(r, 123.4567f)[1], "Time: 123.457");
    r.health = 0;
    EXPECT_EQ(FinMenu::TotalScore(r), 42661) << "health does not count";
    // Past 2^31 the total wraps as 32-bit integers do.
    r = LevelResults{};
    r.lives = 300000;
    r.points = INT_MAX;
    EXPECT_EQ(FinMenu::TotalScore(r), static_cast<i32>(3000000000u + 2147483647u));

    // The shown screen writes them into its labels.
    Play();
    r = LevelResults{};
    r.points = 1500;
    ASSERT_TRUE(HandOverLevelResults(TypeId<FinMenu>::Get(), r));
    Frame();
    const GameObject* total = overlord.GetGameObject(fin->GetLabels()[0]);
    ASSERT_NE(total, nullptr);
    EXPECT_EQ(total->GetComponent<ScreenText>()->GetText(), "Total Score: 1500");
}

TEST_F(ScreenPauseTest, TheResultsLieInsideTheWindowAtEverySizeTheOptionsOffer) {
    // The start size and the four sizes of the options screen; the window is
    // resized during play, while the results screen is hidden.
    const struct { i32 width, height; } sizes[] = {{1024, 768}, {800, 600}, {1280, 720}, {1600, 900}, {1920, 1080}};
    Play();
    for (const auto& size : sizes) {
        for (bool gameOver : {false, true}) {
            const std::string label = std::to_string(size.width) + "x" + std::to_string(size.height) +
                                      (gameOver ? " game over" : " completed");
            ::Broadcast(kMsgClientRect, 0, ClientRect{0, 0, size.width, size.height});
            EndLevel(gameOver);
            const float halfW = size.width / 2.0f, halfH = size.height / 2.0f;
            // The panel and the buttons: their quads.
            u32 restart = 0;
            for (u32 id : fin->GetDrawList()) {
                const GameObject* object = overlord.GetGameObject(id);
                ASSERT_NE(object, nullptr) << label;
                const Model* model = object->GetComponent<Model>();
                const Transform* at = object->GetComponent<Transform>();
                ASSERT_TRUE(model && at) << label;
                const D3DXVECTOR3 low = at->worldPosition + (model->center - model->extent) * at->scale;
                const D3DXVECTOR3 high = at->worldPosition + (model->center + model->extent) * at->scale;
                EXPECT_GE(low.x, -halfW) << label << " " << model->material.diffuseFileName;
                EXPECT_LE(high.x, halfW) << label << " " << model->material.diffuseFileName;
                EXPECT_GE(low.y, -halfH) << label << " " << model->material.diffuseFileName;
                EXPECT_LE(high.y, halfH) << label << " " << model->material.diffuseFileName;
                if (model->material.diffuseFileName.rfind("RestartButton", 0) == 0) restart = id;
            }
            // The labels: from the baseline up a full pixel size, down half of
            // it; a character is at most one pixel size wide.
            for (u32 id : fin->GetLabels()) {
                const GameObject* object = overlord.GetGameObject(id);
                ASSERT_NE(object, nullptr) << label;
                const ScreenText* text = object->GetComponent<ScreenText>();
                const D3DXVECTOR3& at = object->GetComponent<Transform>()->worldPosition;
                const float size = static_cast<float>(text->GetFontSize());
                EXPECT_GE(at.x, -halfW) << label << " " << text->GetText();
                EXPECT_LE(at.x + size * text->GetText().size(), halfW) << label << " " << text->GetText();
                EXPECT_LE(at.y + size, halfH) << label << " " << text->GetText();
                EXPECT_GE(at.y - size / 2, -halfH) << label << " " << text->GetText();
            }
            // Restart answers a click on its picture, where it is drawn.
            ASSERT_NE(restart, 0u) << label;
            const D3DXVECTOR3& button = overlord.GetGameObject(restart)->GetComponent<Transform>()->worldPosition;
            const int loads = logic->loads;
            Click(size.width / 2 + static_cast<i32>(button.x), size.height / 2 - static_cast<i32>(button.y) + 15);
            EXPECT_EQ(logic->loads, loads + 1) << label;
            EXPECT_FALSE(fin->IsActive()) << label;
        }
    }
}

TEST_F(ScreenPauseTest, TheResultsAreLaidOutAgainWhenTheWindowChangesWhileShown) {
    Play();
    EndLevel(false);
    const std::vector<u32> before = fin->GetDrawList();
    EXPECT_EQ(fin->GetLayoutShift(), 0.0f);
    ::Broadcast(kMsgClientRect, 0, ClientRect{0, 0, 800, 600});
    EXPECT_EQ(fin->GetLayoutShift(), -80.0f) << "the panel's top 10 pixels under the window's";
    EXPECT_NE(fin->GetDrawList(), before);
    Frame();
    EXPECT_EQ(overlord.GetGameObject(before.back()), nullptr) << "the old panel is gone";
    const std::size_t objects = ObjectCount(), controls = ControlCount();
    ::Broadcast(kMsgClientRect, 0, ClientRect{0, 0, 800, 601});
    Frame();
    EXPECT_EQ(ObjectCount(), objects) << "the same shift builds nothing";
    EXPECT_EQ(ControlCount(), controls);
}

TEST_F(ScreenPauseTest, OnlyContinueMovesTheLevelSequenceOn) {
    Play();
    EndLevel(false);
    EXPECT_TRUE(fin->IsActive());
    EXPECT_FALSE(pause->IsActive());
    EXPECT_FALSE(gui->IsGroupEnabled(4));
    EXPECT_FALSE(graphics->IsGlowOn());
    ClickButtonAt(0.0f);  // Restart
    EXPECT_EQ(LoadedLevel(), "Tutorial.scn");
    EXPECT_FALSE(fin->IsActive());
    ExpectRunning();

    EndLevel(false);
    ClickButtonAt(-53.0f);  // Continue
    EXPECT_EQ(LoadedLevel(), "Gold_Level.scn") << "Restart did not skip a level";
    ExpectRunning();
    EndLevel(false);
    ClickButtonAt(-53.0f);
    EXPECT_EQ(LoadedLevel(), "Forward_Momentum.scn");
    EndLevel(false);
    ClickButtonAt(-53.0f);
    EXPECT_EQ(LoadedLevel(), "Forward_Momentum.scn") << "the last level again";
    ExpectRunning();
}

}  // namespace
