// What the buttons of the start, options, controls and credits screens do
// under the mouse: rectangles, click and hover rules, sounds, gating by
// control group, the messages of the settings and the loading of levels.
#include "frontend/controls/GameFlow.h"
#include "frontend/controls/LoadSceneControl.h"
#include "port/math/D3DXVector.h"
#include "render/mesh/Model.h"
#include "tests/frontend/ScreenWorld.h"
#include "tests/platform/PlatformTestSupport.h"

namespace {

class ScreenButtonsTest : public ScreenWorld {
protected:
    void SetUp() override {
        GameFlow::Show(splash);
        Frame(0.0f);
        Frame(3.5f);
    }
    std::string DiffuseOf(u32 objectId) const {
        const Model* model = Overlord::FindComponent<Model>(objectId);
        return model ? model->material.diffuseFileName : "";
    }
    // The start screen's Play button (last in its object list but the cursor).
    u32 PlayButton() const { return start->GetObjectList()[start->GetObjectList().size() - 2]; }
};

TEST_F(ScreenButtonsTest, PlayRectangleHasItsTopLeftEdgesInsideAndBottomRightOutside) {
    const u32 play = PlayButton();
    const struct {
        i32 x, y;
        bool inside;
    } cases[] = {{412, 329, true}, {611, 368, true}, {612, 329, false}, {412, 369, false}, {411, 340, false}};
    for (const auto& c : cases) {
        MouseTo(c.x, c.y);
        Frame();
        EXPECT_EQ(DiffuseOf(play), c.inside ? "PlayButton2" : "PlayButton") << c.x << ", " << c.y;
    }
}

TEST_F(ScreenButtonsTest, EnteringPlaysSelectOnceLeavingNothingAndAClickConfirm) {
    MouseTo(10, 10);
    Frame();
    audio->sounds.clear();
    MouseTo(500, 340);
    Frames(3);
    EXPECT_EQ(audio->sounds, std::vector<std::string>{"menu_select"});
    MouseTo(10, 10);
    Frames(2);
    EXPECT_EQ(audio->sounds.size(), 1u) << "leaving plays nothing";
    audio->sounds.clear();
    ClickButtonAt(-100.0f);  // Credits
    EXPECT_EQ(audio->sounds, (std::vector<std::string>{"menu_select", "menu_confirm"}));
    EXPECT_TRUE(credits->IsActive());
}

TEST_F(ScreenButtonsTest, AClickIsAReleaseInsideWhereverThePressWas) {
    // Pressed inside Credits, released outside: nothing.
    MouseTo(500, 500);
    input->ButtonDown(0, 500, 500);
    Frame();
    MouseTo(10, 10);
    input->ButtonUp(0);
    Frame();
    EXPECT_TRUE(start->IsActive());
    // Pressed outside, released inside: a click.
    input->ButtonDown(0, 10, 10);
    Frame();
    MouseTo(500, 500);
    input->ButtonUp(0);
    Frame();
    EXPECT_TRUE(credits->IsActive());
    EXPECT_FALSE(start->IsActive());
}

TEST_F(ScreenButtonsTest, ADisabledGroupNeitherHighlightsNorClicks) {
    GameFlow::SwitchGroup(kMsgDisableGroup, 6, 0);
    const u32 play = PlayButton();
    audio->sounds.clear();
    MouseTo(500, 340);
    Frame();
    ClickButtonAt(50.0f);
    EXPECT_EQ(DiffuseOf(play), "PlayButton");
    EXPECT_TRUE(audio->sounds.empty());
    EXPECT_TRUE(start->IsActive());
    EXPECT_FALSE(scenes.IsLoaded());
}

TEST_F(ScreenButtonsTest, BackFromControlsAndOptionsReturnsToTheStartScreen) {
    for (MenuScreen* screen : std::initializer_list<MenuScreen*>{controls, options, credits}) {
        ClickButtonAt(screen == controls ? 0.0f : screen == options ? -50.0f : -100.0f);
        ASSERT_TRUE(screen->IsActive()) << screen->GetName();
        EXPECT_FALSE(gui->IsGroupEnabled(6));
        ClickButtonAt(-270.0f);
        EXPECT_FALSE(screen->IsActive()) << screen->GetName();
        EXPECT_TRUE(start->IsActive()) << screen->GetName();
        EXPECT_TRUE(pause->IsPaused()) << "the pause pair stays off";
        EXPECT_TRUE(gui->IsGroupEnabled(6));
        EXPECT_FALSE(gui->IsGroupEnabled(7));
        EXPECT_FALSE(gui->IsGroupEnabled(8));
    }
}

TEST_F(ScreenButtonsTest, OptionsSendOneMessagePerClickInBothShowings) {
    MessageRecorder recorder(NewId());
    recorder.Watch(kMsgSetWindowSize.type, kMsgSetWindowSize.argument, sizeof(D3DXVECTOR2));
    for (const auto& kind : {kMsgSetFullScreen, kMsgClearFullScreen, kMsgSoundOff, kMsgSoundOn})
        recorder.Watch(kind.type, kind.argument);
    // Client centres of the 1280x720, full screen on / off, sound off / on buttons.
    const std::pair<i32, i32> buttons[] = {{757, 270}, {657, 440}, {787, 440}, {787, 570}, {657, 570}};
    for (int showing = 0; showing < 2; ++showing) {
        ClickButtonAt(-50.0f);  // Options
        ASSERT_TRUE(options->IsActive());
        recorder.received.clear();
        for (const auto& [x, y] : buttons) Click(x, y);
        ASSERT_EQ(recorder.received.size(), 5u) << "showing " << showing;
        const std::pair<u32, u32> expected[] = {{1, 22}, {37, 0}, {38, 0}, {1, 20}, {1, 21}};
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(std::make_pair(recorder.received[i].type, recorder.received[i].argument), expected[i]);
        const auto size = recorder.received[0].As<D3DXVECTOR2>();
        EXPECT_EQ(size.x, 1280.0f);
        EXPECT_EQ(size.y, 720.0f);
        ClickButtonAt(-270.0f);  // Back
        ASSERT_TRUE(start->IsActive());
    }
}

TEST_F(ScreenButtonsTest, PlayLoadsTheFirstLevelAndTheMusicReachesAudioInTheNextDrain) {
    EXPECT_TRUE(audio->musics.empty()) << "queued in the hand-over frame";
    Frame();
    ASSERT_EQ(audio->musics.size(), 1u);
    EXPECT_EQ(audio->musics[0].name, "Menu_loop");
    EXPECT_EQ(audio->musics[0].volume, 0.3f);
    AddScene("Tutorial");
    ClickButtonAt(50.0f);
    EXPECT_TRUE(scenes.IsLoaded());
    EXPECT_EQ(scenes.GetName().substr(scenes.GetName().size() - 19), "/scene/Tutorial.scn");
    EXPECT_FALSE(start->IsActive());
    EXPECT_TRUE(gui->IsGroupEnabled(4)) << "Esc works in play";
}

TEST_F(ScreenButtonsTest, AnEmptyLevelSequenceStillStartsTutorial) {
    ClickButtonAt(-100.0f);  // away and back: the next showing reads the sequence
    fin->SetLevelSequence({});
    ClickButtonAt(-270.0f);
    EXPECT_EQ(start->GetStartSceneFile(), "Tutorial.scn");
}

}  // namespace
