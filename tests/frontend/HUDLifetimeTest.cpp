// The heads-up display in a level loaded by the real loader with every
// component class of the program, under the real GameLogic: reloading the
// level again and again leaves no picture or text behind, and the countdown
// of a lastTrigger spawner starts the ship.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "app/ClassRegistrations.h"
#include "controls/GuiSystem.h"
#include "engine/GameObject.h"
#include "frontend/hud/HUDComponent.h"
#include "game/actors/Player.h"
#include "game/scene/GameLogic.h"
#include "platform/InputSystem.h"
#include "render/frame/GraphicsSystem.h"
#include "tests/frontend/HudWorld.h"
#include "tests/support/LogCapture.h"
#include "tests/support/WorldServices.h"

namespace {

// A short track, a carrier riding it with the ship (Player, Health) on it, a
// lastTrigger spawner and the HUD.
const char* const kLevel = R"(Archetypes = {
	"",
}

Instances = {
	{SceneGUID = 1000, Transform = {}, PlayerPath = {wps = {{pos = {z = 0, y = 0, x = 0, }, }, {pos = {z = 100, y = 0, x = 0, }, }, {pos = {z = 200, y = 0, x = 0, }, }, {pos = {z = 300, y = 0, x = 0, }, }}, }, },
	{SceneGUID = 1001, Transform = {}, SplineCrawler = {persistVelocity = 10, lookAheadDistance = 1, }, },
	{SceneGUID = 1002, Transform = {}, Player = {}, Health = {maxHP = 100, currentHP = 100, }, },
	{SceneGUID = 1003, SplineMultiSpawner = {lastTrigger = true, }, },
	{SceneGUID = 1004, HUDComponent = {enableBarText = true, countdownDuration = 1, }, },
}

ParentChild = {
	{ Parent = 1001, Child = 1002},
}

SplineCrawlers = {
	{ SplineCrawler = 1001, Spline = 1000},
}
)";

class HUDLifetimeTest : public ::testing::Test, protected WithLog, protected WorldServices {
protected:
    HUDLifetimeTest()
        : WorldServices(Parts::Levels,
                        "scene = { path = \"./\", extension = \".scn\" }\n"
                        "arch = { path = \"./\", extension = \".arch\" }\n") {
        WriteFile("HudLevel.scn", kLevel);
        ClassRegistrations::RegisterAll(*registry, factory);
        for (ISystem* system : std::initializer_list<ISystem*>{input, audio, logic, gui, graphics})
            engine->AddSystem(system);
        gui->Init();
        logic->Init();
        scene->SetOwner(logic);
        SceneLoader::SetFailureReporter([](const std::string&, const std::string& text) { ADD_FAILURE() << text; });
    }
    ~HUDLifetimeTest() override {
        SceneLoader::SetFailureReporter(nullptr);
        scene->ClearScene();
        graveyard.Collect(1000.0f);
    }

    bool LoadLevel() { return scene->LoadScene(Root() + "/HudLevel.scn"); }
    void Frame(float dt) {
        hub.DispatchQueued();
        graphics->GetLists().frameModels.clear();
        graphics->GetLists().frameTexts.clear();
        gui->Update(dt);
        logic->Update(dt);
        input->Update(dt);
        graveyard.Collect(1000.0f);
    }
    void Frames(int count, float dt) {
        for (int i = 0; i < count; ++i) Frame(dt);
    }
    HUDComponent* FindHud() const {
        HUDComponent* hud = nullptr;
        overlord.GameObjects().ForEach([&](u32, GameObject* object) {
            if (auto* found = object->GetComponent<HUDComponent>()) hud = found;
        });
        return hud;
    }
    Player* FindPlayer() const {
        Player* player = nullptr;
        overlord.GameObjects().ForEach([&](u32, GameObject* object) {
            if (auto* found = object->GetComponent<Player>()) player = found;
        });
        return player;
    }

    InputSystem* input = new InputSystem;
    SoundLog* audio = new SoundLog;
    GameLogic* logic = new GameLogic;
    GuiSystem* gui = new GuiSystem;
    GraphicsSystem* graphics = new GraphicsSystem;
};

TEST_F(HUDLifetimeTest, TwentyReloadsLeaveTheObjectCountUnchanged) {
    ASSERT_TRUE(LoadLevel());
    Frames(4, 0.25f);
    ASSERT_NE(FindHud(), nullptr);
    EXPECT_NE(FindHud()->GetElement(HUDComponent::kLivesCircle), 0u);
    const std::size_t count = ObjectCount();
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(scene->ReloadScene());
        Frames(4, 0.25f);
        EXPECT_EQ(ObjectCount(), count) << "reload " << i + 1;
    }
    scene->ClearScene();
    Frame(0.25f);
    EXPECT_EQ(ObjectCount(), 0u) << "the scene's objects and the HUD's are all gone";
}

TEST_F(HUDLifetimeTest, TheLastTriggerCountdownStartsTheShipOnce) {
    ASSERT_TRUE(LoadLevel());
    Player* player = FindPlayer();
    ASSERT_NE(player, nullptr);
    Frame(0.0f);
    EXPECT_TRUE(FindHud()->IsCountdownRunning());
    Frames(13, 0.25f);
    EXPECT_FALSE(player->goReceived) << "2.5 s wait and the first stages";
    Frames(2, 0.25f);
    EXPECT_TRUE(player->goReceived);
    hub.DispatchQueued();
    int gos = 0;
    for (const SoundEventData& sound : audio->sounds) gos += sound.name == "go";
    EXPECT_EQ(gos, 1);
}

// Copies of the HUD in a level build no display of their own: the level's
// objects grow by the copies' own objects only, the pictures of one HUD are
// drawn, its countdown alone sounds, and one row says so.
TEST_F(HUDLifetimeTest, FurtherHudsOfALevelBuildNoDisplayAndOneRowSaysSo) {
    const std::string hudLine =
        "\t{SceneGUID = 1004, HUDComponent = {enableBarText = true, countdownDuration = 1, }, },\n";
    const std::string level = kLevel;
    const std::size_t after = level.find(hudLine) + hudLine.size();
    ASSERT_TRUE(LoadLevel());
    Frames(20, 0.25f);
    const std::size_t objects = ObjectCount();
    const std::size_t drawn = graphics->GetLists().frameModels.size();
    hub.DispatchQueued();
    const std::size_t sounds = audio->sounds.size();
    for (int copies : {1, 30}) {
        SCOPED_TRACE(copies);
        std::string text = level;
        for (int i = 0; i < copies; ++i)
            text.insert(after, "\t{SceneGUID = " + std::to_string(2000 + i) + ", HUDComponent = {}, },\n");
        WriteFile("Copies.scn", text);
        audio->sounds.clear();
        LogCapture capture;
        ASSERT_TRUE(scene->LoadScene(Root() + "/Copies.scn"));
        Frames(20, 0.25f);
        EXPECT_EQ(ObjectCount(), objects + copies);
        EXPECT_EQ(graphics->GetLists().frameModels.size(), drawn);
        hub.DispatchQueued();
        EXPECT_EQ(audio->sounds.size(), sounds) << "one countdown";
        std::size_t rows = 0;
        for (const std::string& row : capture.Messages()) rows += row.find("shows nothing") != std::string::npos;
        EXPECT_EQ(rows, 1u);
    }
}

TEST_F(HUDLifetimeTest, AFirstFrameLongerThanTheCountdownStillStartsTheShip) {
    ASSERT_TRUE(LoadLevel());
    Player* player = FindPlayer();
    ASSERT_NE(player, nullptr);
    Frame(0.0f);
    Frame(6.0f);
    EXPECT_TRUE(player->goReceived);
}

}  // namespace
