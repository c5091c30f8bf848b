#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "controls/KeyTrigger.h"
#include "engine/MessageTypes.h"
#include "engine/Ray.h"
#include "game/scene/MouseFireControl.h"
#include "port/panels/TweakPanelsProbe.h"
#include "tests/game/GameSceneWorld.h"
#include "tests/platform/PlatformTestSupport.h"

class GameCamera;
class HackComponent;
class Health;
class HUDComponent;
class Lifetime;
class Player;
class Projectile;
class ProjectilePatternManager;
class Weapon;
class WeaponSpline;

namespace {
class GameLogicTest : public GameSceneWorld {
protected:
    // The keys of the held key controls and the number of mouse controls.
    std::multiset<u32> Keys() const {
        std::multiset<u32> keys;
        for (u32 id : logic->GetPlayerControlIds())
            if (Control* control = gui->FindControl(id))
                for (ControlTrigger* trigger : control->GetActivateTriggers())
                    if (auto* key = dynamic_cast<KeyTrigger*>(trigger)) keys.insert(key->GetVirtualKey());
        return keys;
    }
    size_t MouseControls() const {
        size_t count = 0;
        for (u32 id : logic->GetPlayerControlIds())
            count += dynamic_cast<MouseFireControl*>(gui->FindControl(id)) != nullptr;
        return count;
    }
};

TEST_F(GameLogicTest, ControlsFollowTheDisabledAbilities) {
    const struct {
        const char* name;
        bool shield, weapon, boost;
        std::multiset<u32> keys;
        size_t mouse;
    } cases[] = {
        {"all on", false, false, false, {0x44, 0x41, 0x57, 0x10, 0x20}, 2},
        {"weapon off", false, true, false, {0x44, 0x41, 0x57, 0x10}, 1},
        {"shield off", true, false, false, {0x44, 0x41, 0x57, 0x20}, 1},
        {"boost off", false, false, true, {0x44, 0x41, 0x10, 0x20}, 2},
        {"all off", true, true, true, {0x44, 0x41}, 0},
    };
    for (const auto& c : cases) {
        ::Broadcast(kMsgShieldDisabled, 0, c.shield);
        ::Broadcast(kMsgWeaponDisabled, 0, c.weapon);
        ::Broadcast(kMsgBoostDisabled, 0, c.boost);
        logic->OnSceneLoaded();
        EXPECT_EQ(logic->GetPlayerControlIds().size(), c.keys.size() + c.mouse) << c.name;
        EXPECT_EQ(Keys(), c.keys) << c.name;
        EXPECT_EQ(MouseControls(), c.mouse) << c.name;
        logic->OnSceneCleared();
        Frame();
        for (u32 category = 0; category < GuiSystem::kCategoryCount; ++category)
            EXPECT_TRUE(gui->GetControls(category).empty()) << c.name << ": controls removed at the clear";
    }
}

TEST_F(GameLogicTest, KeysTellTheShipAndSpaceFiresAtTheShipAlongItsNose) {
    D3DXQUATERNION quarterTurn;  // the nose along +x
    const D3DXVECTOR3 yAxis(0, 1, 0);
    D3DXQuaternionRotationAxis(&quarterTurn, &yAxis, 1.5707964f);
    Probe* ship = MakeProbe(TypeId<Player>::Get(), "ship", {1, 2, 3}, quarterTurn);
    Probe* enemy = MakeProbe(TypeId<Weapon>::Get(), "enemy", {50, 0, 0});
    enemy->Subscribe(kMsgFire);  // as an enemy's weapon listens
    logic->OnSceneLoaded();
    MessageRecorder heard(NewId());
    for (auto kind : {kMsgSteerRight, kMsgSteerStop, kMsgBoostPressed, kMsgBoostHeld, kMsgBoostReleased})
        heard.Watch(kind.type, kind.argument);

    input->KeyPressed(0x44);
    Frame();
    input->KeyReleased(0x44);
    input->KeyPressed(0x57);
    Frame();
    input->KeyReleased(0x57);
    Frame();
    std::vector<std::pair<u32, u32>> seen;  // type, sender
    for (const Received& r : heard.received) seen.push_back({r.type, r.sender});
    const u32 player = ship->GetId();
    EXPECT_EQ(seen,
              (std::vector<std::pair<u32, u32>>{{53, player}, {72, player}, {63, player}, {64, player}, {65, 0}}));

    input->KeyPressed(0x20);
    Frame();
    EXPECT_TRUE(enemy->received.empty()) << "the fire key addresses the ship alone";
    ASSERT_EQ(
        std::count_if(ship->received.begin(), ship->received.end(), [](const Message& m) { return m.Is(kMsgFire); }),
        1);
    EXPECT_NEAR(ship->lastRay.origin.x, 1.0f, 1e-5f);
    EXPECT_NEAR(ship->lastRay.origin.z, 3.0f, 1e-5f);
    EXPECT_NEAR(ship->lastRay.direction.x, 1.0f, 1e-5f);
    EXPECT_NEAR(ship->lastRay.direction.z, 0.0f, 1e-5f);
}

TEST_F(GameLogicTest, ListsRunInOppositeOrdersOnConsecutiveFrames) {
    for (const char* name : {"a", "b", "c"}) MakeProbe(TypeId<Health>::Get(), name);
    Frame();
    Frame();
    EXPECT_EQ(journal, (std::vector<std::string>{"c", "b", "a", "a", "b", "c"}));
}

TEST_F(GameLogicTest, NothingIsUpdatedWhilePausedAndEverythingAfter) {
    const u32 listed[] = {TypeId<GameCamera>::Get(),
                          TypeId<Weapon>::Get(),
                          TypeId<WeaponSpline>::Get(),
                          TypeId<Projectile>::Get(),
                          TypeId<ProjectilePatternManager>::Get(),
                          TypeId<Health>::Get(),
                          TypeId<Lifetime>::Get(),
                          TypeId<HackComponent>::Get(),
                          TypeId<HUDComponent>::Get()};
    for (u32 typeId : listed) MakeProbe(typeId, std::to_string(typeId));
    Probe* ship = MakeProbe(TypeId<Player>::Get(), "ship");
    MessageRecorder heard(NewId());
    heard.Watch(kMsgPlayerObject.type, kMsgPlayerObject.argument, sizeof(u32));

    logic->SetPaused(true);
    Frame();
    EXPECT_TRUE(journal.empty());
    EXPECT_TRUE(heard.received.empty()) << "no player broadcast while paused";

    logic->SetPaused(false);
    Frame(0.02f);
    std::vector<std::string> expected;
    for (u32 typeId : listed) expected.push_back(std::to_string(typeId));
    expected.insert(expected.begin() + 7, "ship");  // between Lifetime and HackComponent
    EXPECT_EQ(journal, expected);
    EXPECT_FLOAT_EQ(ship->lastDt, 0.02f);
    ASSERT_EQ(heard.received.size(), 1u);
    EXPECT_EQ(heard.received[0].As<u32>(), ship->GetOwner());
}

TEST_F(GameLogicTest, OneScenesBarWhileNoSceneIsLoaded) {
    AddSceneFile("Alpha.scn");
    AddSceneFile("Beta.scn");
    AddSceneFile("Gone.scn");
    AddSceneFile("notes.txt");
    scene->ClearScene();
    RemoveSceneFile("Gone.scn");
    scene->ClearScene();
    EXPECT_EQ(TwInspectBarNames(), std::vector<std::string>{"Scenes"});
    TweakBarInfo bar;
    ASSERT_TRUE(TwInspectBar(logic->GetScenesBar(), &bar));
    std::vector<std::string> buttons;
    for (const TweakVarInfo& var : bar.vars) buttons.push_back(var.name);
    EXPECT_EQ(buttons, (std::vector<std::string>{"Alpha", "Beta"})) << "the bar of the earlier clear is replaced";

    EXPECT_FALSE(logic->LoadSceneFromList(2)) << "an index past the list loads nothing";
    EXPECT_EQ(scene->GetName(), "");

    logic->OnSceneLoaded();
    EXPECT_TRUE(TwInspectBarNames().empty());
}

TEST_F(GameLogicTest, MouseFireAimsFromTheShipAtThePointerUnlessSuppressed) {
    Probe* ship = MakeProbe(TypeId<Player>::Get(), "ship", {10, 0, 0});
    logic->OnSceneLoaded();
    auto* fire = static_cast<MouseFireControl*>(gui->FindControl(logic->GetLeftFireControlId()));
    ASSERT_NE(fire, nullptr);
    EXPECT_EQ(fire->GetTargetObject(), ship->GetOwner());
    D3DXMATRIX view, projection;
    D3DXMatrixIdentity(&view);
    D3DXMatrixPerspectiveFovLH(&projection, 0.785398185f, 4.0f / 3.0f, 1.0f, 2000.0f);
    ::Broadcast(kMsgViewMatrix, 0, static_cast<const D3DXMATRIX*>(&view));
    ::Broadcast(kMsgProjectionMatrix, 0, static_cast<const D3DXMATRIX*>(&projection));
    ::Broadcast(kMsgClientRect, 0, ClientRect{0, 0, 640, 480});
    input->MouseMoved(320, 240, 0);
    input->ButtonDown(0, 320, 240);
    Frame();
    ASSERT_EQ(ship->received.size(), 1u);
    EXPECT_EQ(ship->received[0].sender, gui->GetTypeId());
    const D3DXVECTOR3 expected = D3DXVECTOR3(-10, 0, 200) / std::sqrt(100.0f + 40000.0f);
    EXPECT_NEAR(ship->lastRay.direction.x, expected.x, 1e-5f);
    EXPECT_NEAR(ship->lastRay.direction.z, expected.z, 1e-5f);
    EXPECT_NEAR(ship->lastRay.origin.x, 10.0f, 1e-5f);

    fire->SetSuppressed(true);
    Frame();
    EXPECT_EQ(ship->received.size(), 1u) << "suppressed: no fire";
}
}  // namespace
