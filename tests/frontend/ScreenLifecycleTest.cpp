// Screens shown and hidden again and again leave no objects or controls
// behind and make fresh ones each time; the splash screen's timing.
#include <algorithm>
#include <cmath>
#include <set>

#include "engine/Transform.h"
#include "frontend/controls/GameFlow.h"
#include "tests/frontend/ScreenWorld.h"

namespace {

using ScreenLifecycleTest = ScreenWorld;

TEST_F(ScreenLifecycleTest, FiftyShowingsOfEachScreenLeaveObjectsAndControlsAsBefore) {
    Frame();
    const std::size_t objects = ObjectCount();
    const std::size_t controlCount = ControlCount();
    for (MenuScreen* screen : std::initializer_list<MenuScreen*>{start, options, controls, credits, splash, fin}) {
        std::set<u32> seen;
        for (int i = 0; i < 50; ++i) {
            GameFlow::Show(screen);
            for (u32 id : screen->GetObjectList()) EXPECT_TRUE(seen.insert(id).second) << screen->GetName();
            for (u32 id : screen->GetControlList()) EXPECT_TRUE(seen.insert(id).second) << screen->GetName();
            if (screen == fin) {
                EXPECT_EQ(fin->GetDrawList().size(), 4u);
            }
            GameFlow::Hide(screen);
            EXPECT_TRUE(screen->GetObjectList().empty());
            EXPECT_TRUE(screen->GetControlList().empty());
            Frame(0.0f);
        }
        EXPECT_EQ(ObjectCount(), objects) << screen->GetName();
        EXPECT_EQ(ControlCount(), controlCount) << screen->GetName();
    }
}

TEST_F(ScreenLifecycleTest, ResultsAfterAGameOverDrawThreeObjectsAndQuitTakesContinuesPlace) {
    LevelResults over;
    over.gameOver = true;
    fin->ReceiveLevelResults(over);
    GameFlow::Show(fin);
    ASSERT_EQ(fin->GetDrawList().size(), 3u);
    // Quit is drawn first, at (0, -53), with the rectangle Continue has after a completed level.
    const Transform* quit = Overlord::FindComponent<Transform>(fin->GetDrawList()[0]);
    ASSERT_NE(quit, nullptr);
    EXPECT_EQ(quit->position, D3DXVECTOR3(0.0f, -53.0f, 0.0f));
    ClickButtonAt(-53.0f);
    EXPECT_FALSE(engine->IsActive()) << "quit ended the run";
}

TEST_F(ScreenLifecycleTest, SplashHandsOverOnlyAfterMoreThanThreeSeconds) {
    GameFlow::Show(splash);
    const u32 logo = splash->GetObjectList().at(0);
    Frame(0.0f);
    EXPECT_EQ(splash->GetTimer(), 0.0f);
    EXPECT_EQ(std::count(drawn.begin(), drawn.end(), logo), 1) << "the logo shows in the first frame";
    Frame(3.0f);
    EXPECT_EQ(splash->GetTimer(), 3.0f);
    EXPECT_TRUE(splash->IsActive()) << "exactly 3.0 does not hand over";
    Frame(std::nextafter(3.0f, 4.0f) - 3.0f);  // one ulp
    EXPECT_FALSE(splash->IsActive());
    EXPECT_TRUE(start->IsActive());
    EXPECT_FALSE(start->GetObjectList().empty()) << "the start screen is built in that update";
    EXPECT_TRUE(splash->GetObjectList().empty());
}

TEST_F(ScreenLifecycleTest, OneLongFirstFrameHandsOverAtOnce) {
    GameFlow::Show(splash);
    const u32 logo = splash->GetObjectList().at(0);
    Frame(3.25f);
    EXPECT_TRUE(start->IsActive());
    EXPECT_FALSE(splash->IsActive());
    EXPECT_EQ(std::count(drawn.begin(), drawn.end(), logo), 1)
        << "the logo is still drawn in the update that hands over";
}

}  // namespace
