// The heads-up display in-process: its pictures and texts, the bars, the
// icons, the shield bubble, the countdown and its go message, and what it
// leaves behind. Frame times are dyadic (0.25, 0.125), so sums are exact.
#include <cmath>

#include "game/actors/EulerToQuaternion.h"
#include "tests/frontend/HudWorld.h"

namespace {

using H = HUDComponent;

struct Placed {
    H::Element element;
    const char* texture;
    float scale;
    float x, y, z;
};

// The element table, in creation order (the bubble as made, hidden).
const Placed kTable[] = {
    {H::kShieldBubble, "NEW_player_shield", 1, 20000, -23000, 20000},
    {H::kShieldsIcon, "status_shields_disabled", 12, -400, -150, 0},
    {H::kWeaponsIcon, "status_weapons_disabled", 12, -400, -200, 0},
    {H::kBoostIcon, "status_boost_disabled", 12, -400, -250, 0},
    {H::kCountdownPicture, "Countdown_3", 1, 0, 25, 0},
    {H::kLivesCircle, "NEW_HUD_circle_lives", 20, 127, -306, 0},
    {H::kHealthBarBack, "NEW_HUD_healthbar_back", 22, -42, -230, 0},
    {H::kHealthBar, "NEW_HUD_Healthbar_16", 22, -42, -230, 0},
    {H::kEnergyBarBack, "NEW_HUD_energybar_back", 22, 21, -230, 0},
    {H::kEnergyBar, "NEW_HUD_Energybar_16", 22, 21, -230, 0},
};

class HUDComponentTest : public HudWorld {
protected:
    // The HUD made, the ship announced from the first frame on, its
    // carrier's crawler announced as its Init does (queued).
    void Start(bool barText = false, float duration = 5.0f) {
        MakeHud(barText, duration);
        announced = ship->GetId();
        Post(kMsgCrawlerAnnounced, 0, carrier->GetId());
    }
    void LevelStart() { Broadcast(kMsgLevelStart, 0); }
};

// ---- Pictures and texts -----------------------------------------------------

TEST_F(HUDComponentTest, InitMakesTheTenPicturesInScreenSpaceAtTheirPlaces) {
    MakeHud();
    u32 previous = 0;
    for (const Placed& row : kTable) {
        SCOPED_TRACE(row.texture);
        ASSERT_NE(Element(row.element), 0u);
        EXPECT_GT(Element(row.element), previous) << "made out of order";
        previous = Element(row.element);
        const Transform* transform = TransformOf(row.element);
        ASSERT_NE(transform, nullptr);
        EXPECT_TRUE(transform->isInScreenSpace);
        EXPECT_EQ(transform->scale, row.scale);
        EXPECT_EQ(transform->worldPosition, D3DXVECTOR3(row.x, row.y, row.z));
        EXPECT_EQ(TextureOf(row.element), row.texture);
    }
}

TEST_F(HUDComponentTest, PicturesAreQuadsAndTheBubbleASphere) {
    MakeHud();
    for (const Placed& row : kTable) {
        SCOPED_TRACE(row.texture);
        const Model* model = ModelOf(row.element);
        ASSERT_NE(model, nullptr);
        if (row.element == H::kShieldBubble)
            EXPECT_GT(model->vertexCount, 100u);
        else
            EXPECT_EQ(model->vertexCount, 4u);
    }
}

TEST_F(HUDComponentTest, TextsHaveTheirColoursPlacesAndFont) {
    MakeHud(true);
    struct Row {
        H::Text text;
        D3DXCOLOR colour;
        float x, y;
    };
    const Row rows[] = {
        {H::kPointsText, {0, 1, 0, 1}, -172, -317},        {H::kLivesText, {1, 1, 1, 1}, 150, -317},
        {H::kDistanceText, {1, 0.5f, 0.5f, 1}, 259, -194}, {H::kSpeedText, {1, 1, 0.6f, 1}, 249, -174},
        {H::kHealthText, {0.5f, 1, 0.5f, 1}, -244, -154},  {H::kEnergyText, {0.6f, 0.6f, 1, 1}, 213, -154},
    };
    u32 previous = Element(H::kEnergyBar);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const ScreenText* text = TextOf(row.text);
        ASSERT_NE(text, nullptr);
        EXPECT_GT(hud->GetText(row.text), previous) << "made out of order";
        previous = hud->GetText(row.text);
        EXPECT_EQ(text->GetFontColor(), row.colour);
        EXPECT_EQ(text->GetFontName(), "lucon.ttf");
        EXPECT_EQ(text->GetFontSize(), 16);
        EXPECT_EQ(text->GetText(), "");
        const Transform* transform = Overlord::FindComponent<Transform>(hud->GetText(row.text));
        ASSERT_NE(transform, nullptr);
        EXPECT_TRUE(transform->isInScreenSpace);
        EXPECT_EQ(transform->worldPosition.x, row.x);
        EXPECT_EQ(transform->worldPosition.y, row.y);
    }
}

TEST_F(HUDComponentTest, WithoutBarTextThereIsNoDistanceOrSpeedText) {
    MakeHud(false);
    EXPECT_EQ(hud->GetText(H::kDistanceText), 0u);
    EXPECT_EQ(hud->GetText(H::kSpeedText), 0u);
    EXPECT_NE(TextOf(H::kHealthText), nullptr);
    EXPECT_NE(TextOf(H::kEnergyText), nullptr);
}

TEST_F(HUDComponentTest, TextsShowPointsLivesAndTheReadOutsAsDecimalIntegers) {
    Start(true);
    player->points = 1250;
    player->numOfLives = 3;
    player->energy = 57.75f;
    health->currentHP = 42;
    crawler->distance = 1234.9f;
    crawler->currentSpeed = -12.5f;
    Frame(0.25f);
    EXPECT_EQ(TextOf(H::kPointsText)->GetText(), "1250");
    EXPECT_EQ(TextOf(H::kLivesText)->GetText(), "x3");
    EXPECT_EQ(TextOf(H::kHealthText)->GetText(), "42");
    EXPECT_EQ(TextOf(H::kEnergyText)->GetText(), "57");
    EXPECT_EQ(TextOf(H::kDistanceText)->GetText(), "1234");
    EXPECT_EQ(TextOf(H::kSpeedText)->GetText(), "-12");
    for (H::Text text :
         {H::kPointsText, H::kLivesText, H::kDistanceText, H::kSpeedText, H::kHealthText, H::kEnergyText})
        EXPECT_TRUE(TextDrawn(text)) << text;
}

TEST_F(HUDComponentTest, WithoutBarTextOnlyPointsAndLivesAreDrawn) {
    Start(false);
    health->currentHP = 42;
    Frame(0.25f);
    EXPECT_TRUE(TextDrawn(H::kPointsText));
    EXPECT_TRUE(TextDrawn(H::kLivesText));
    EXPECT_FALSE(TextDrawn(H::kHealthText));
    EXPECT_FALSE(TextDrawn(H::kEnergyText));
    EXPECT_EQ(drawnTexts.size(), 2u);
    EXPECT_EQ(TextOf(H::kHealthText)->GetText(), "");
}

TEST_F(HUDComponentTest, DrawRequestsFollowThePartsOrder) {
    Start();
    Frame(0.25f);
    const std::vector<u32> expected = {Element(H::kLivesCircle), Element(H::kHealthBarBack), Element(H::kEnergyBarBack),
                                       Element(H::kHealthBar),   Element(H::kEnergyBar),     Element(H::kShieldsIcon),
                                       Element(H::kWeaponsIcon), Element(H::kBoostIcon),     Element(H::kShieldBubble)};
    EXPECT_EQ(drawn, expected);
}

TEST_F(HUDComponentTest, BeforeThePlayerIsAnnouncedOnlyThePicturesAreDrawn) {
    MakeHud(true);
    Frame(0.25f);
    EXPECT_EQ(drawn.size(), 9u);
    EXPECT_TRUE(drawnTexts.empty());
    EXPECT_EQ(TextureOf(H::kShieldsIcon), "status_shields_disabled");
}

// ---- Bars -------------------------------------------------------------------

TEST_F(HUDComponentTest, HealthBarStepsFollowTheSixteenthsOfMaxHP) {
    Start();
    const std::pair<int, const char*> rows[] = {{100, "NEW_HUD_Healthbar_16"}, {94, "NEW_HUD_Healthbar_15"},
                                                {93, "NEW_HUD_Healthbar_14"},  {7, "NEW_HUD_Healthbar_1"},
                                                {6, "NEW_HUD_Healthbar_1"},    {0, "NEW_HUD_Healthbar_1"}};
    for (const auto& [hp, texture] : rows) {
        health->currentHP = hp;
        Frame(0.25f);
        EXPECT_EQ(TextureOf(H::kHealthBar), texture) << hp;
        EXPECT_TRUE(Drawn(H::kHealthBar)) << hp;
    }
}

TEST_F(HUDComponentTest, EnergyBarStepsAndBelowTheLastStepNoEnergyBarIsDrawn) {
    Start();
    player->energy = 93.75f;
    Frame(0.25f);
    EXPECT_EQ(TextureOf(H::kEnergyBar), "NEW_HUD_Energybar_15");
    player->energy = 6.25f;
    Frame(0.25f);
    EXPECT_EQ(TextureOf(H::kEnergyBar), "NEW_HUD_Energybar_1");
    EXPECT_TRUE(Drawn(H::kEnergyBar));
    EXPECT_TRUE(TransformOf(H::kEnergyBar)->isInScreenSpace);
    player->energy = 6.0f;
    Frame(0.25f);
    EXPECT_FALSE(Drawn(H::kEnergyBar));
    EXPECT_TRUE(Drawn(H::kEnergyBarBack));
    EXPECT_TRUE(TransformOf(H::kEnergyBar)->isInScreenSpace) << "never taken into world space";
    EXPECT_EQ(TextureOf(H::kEnergyBar), "NEW_HUD_Energybar_1") << "never given an empty texture";
    player->energy = 50.0f;
    Frame(0.25f);
    EXPECT_TRUE(Drawn(H::kEnergyBar));
    EXPECT_EQ(TextureOf(H::kEnergyBar), "NEW_HUD_Energybar_8");
}

TEST_F(HUDComponentTest, SteadyValuesRetextureNothingAfterTheFirstFrame) {
    Start(true);
    health->currentHP = 50;
    player->energy = 30.0f;
    Frame(0.25f);
    const u64 after = hud->GetRetextureCount();
    EXPECT_GT(after, 0u);
    Frames(40, 0.25f);
    EXPECT_EQ(hud->GetRetextureCount(), after);
}

TEST_F(HUDComponentTest, ThresholdsComeFromTheFirstAnnouncementThatHasThem) {
    Start();
    Frame(0.25f);
    health->maxHP = 200;
    player->energyTankCapacity = 400.0f;
    health->currentHP = 100;
    player->energy = 100.0f;
    Frame(0.25f);
    // Still sixteenths of 100.
    EXPECT_EQ(TextureOf(H::kHealthBar), "NEW_HUD_Healthbar_16");
    EXPECT_EQ(TextureOf(H::kEnergyBar), "NEW_HUD_Energybar_16");
}

TEST(HUDComponentBarTest, StepOfAValueOnAThresholdIsThatThresholdsStep) {
    const std::vector<float> t = HUDComponent::BarThresholds(100.0f);
    ASSERT_EQ(t.size(), 16u);
    EXPECT_EQ(t.front(), 100.0f);
    EXPECT_EQ(t.back(), 6.25f);
    EXPECT_EQ(HUDComponent::BarStep(100.0f, t), 16);
    EXPECT_EQ(HUDComponent::BarStep(93.75f, t), 15);
    EXPECT_EQ(HUDComponent::BarStep(93.0f, t), 14);
    EXPECT_EQ(HUDComponent::BarStep(6.25f, t), 1);
    EXPECT_EQ(HUDComponent::BarStep(6.0f, t), 0);
    EXPECT_EQ(HUDComponent::BarStep(1000.0f, t), 16);
}

// ---- Icons ------------------------------------------------------------------

TEST_F(HUDComponentTest, AllowedAbilitiesTurnTheirIconsActiveDisabledOnesStay) {
    MakeHud();
    player->disablePlayerShield = false;
    player->disablePlayerWeapon = true;
    player->disablePlayerBoost = false;
    Frame(0.25f);
    EXPECT_EQ(TextureOf(H::kShieldsIcon), "status_shields_disabled") << "before the first announcement";
    announced = ship->GetId();
    Frame(0.25f);
    EXPECT_EQ(TextureOf(H::kShieldsIcon), "status_shields_active");
    EXPECT_EQ(TextureOf(H::kWeaponsIcon), "status_weapons_disabled");
    EXPECT_EQ(TextureOf(H::kBoostIcon), "status_boost_active");
    // Never back, and a flag cleared later turns its icon on.
    player->disablePlayerShield = true;
    player->disablePlayerWeapon = false;
    Frame(0.25f);
    EXPECT_EQ(TextureOf(H::kShieldsIcon), "status_shields_active");
    EXPECT_EQ(TextureOf(H::kWeaponsIcon), "status_weapons_active");
}

// ---- Shield bubble ----------------------------------------------------------

TEST_F(HUDComponentTest, TheBubbleShowsWhileTheShipShieldsTurning36DegreesASecond) {
    Start();
    player->shielding = true;
    Broadcast(kMsgShieldOn, 0, 0u);
    for (int i = 0; i < 8; ++i) {
        const float angle = 36.0f * 0.25f * static_cast<float>(i);
        Frame(0.25f);
        const Transform* bubble = TransformOf(H::kShieldBubble);
        EXPECT_EQ(bubble->worldPosition, D3DXVECTOR3(0, -230, 200));
        const D3DXQUATERNION expected = EulerToQuaternion(angle, angle - 5.0f, angle - 2.5f);
        EXPECT_NEAR(bubble->worldRotation.x, expected.x, 1e-5f);
        EXPECT_NEAR(bubble->worldRotation.y, expected.y, 1e-5f);
        EXPECT_NEAR(bubble->worldRotation.z, expected.z, 1e-5f);
        EXPECT_NEAR(bubble->worldRotation.w, expected.w, 1e-5f);
        EXPECT_TRUE(Drawn(H::kShieldBubble));
    }
    EXPECT_FLOAT_EQ(hud->GetShieldAngle(), 72.0f);
}

TEST_F(HUDComponentTest, ReleasedOrRefusedTheBubbleLiesBeyondDepth2000) {
    Start();
    player->shielding = true;
    Frame(0.25f);
    EXPECT_EQ(TransformOf(H::kShieldBubble)->worldPosition.z, 200.0f);
    player->shielding = false;
    Broadcast(kMsgShieldOff, 0, 0u);
    EXPECT_GT(TransformOf(H::kShieldBubble)->worldPosition.z, 2000.0f) << "hidden at once";
    Frame(0.25f);
    EXPECT_GT(TransformOf(H::kShieldBubble)->worldPosition.z, 2000.0f);
    // The key held, the Player refusing the shield (empty tank, before go).
    Broadcast(kMsgShieldOn, 0, 0u);
    Frames(4, 0.25f);
    EXPECT_GT(TransformOf(H::kShieldBubble)->worldPosition.z, 2000.0f);
}

// ---- Countdown --------------------------------------------------------------

TEST_F(HUDComponentTest, CountdownStagesComeAFifthApartAfterTheWait) {
    Start();
    Frame(0.0f);
    LevelStart();
    EXPECT_TRUE(hud->IsCountdownRunning());
    EXPECT_EQ(hud->GetCountdownClock(), -2.5f);
    auto countdownDrawn = [&] { return Drawn(H::kCountdownPicture); };
    // Nothing for 3.5 s.
    for (int i = 1; i < 14; ++i) {
        Frame(0.25f);
        EXPECT_FALSE(countdownDrawn()) << i;
    }
    EXPECT_EQ(Sounds("count_down"), 0);
    struct Stage {
        int frame;  // 0.25 s frames after (73, 0)
        const char* picture;
        int countSounds;
    };
    const Stage stages[] = {{14, "Countdown_3", 1}, {18, "Countdown_2", 2}, {22, "Countdown_1", 3}};
    int frame = 13;
    for (const Stage& stage : stages) {
        while (frame < stage.frame) {
            Frame(0.25f);
            ++frame;
        }
        SCOPED_TRACE(stage.picture);
        hub.DispatchQueued();  // the queued sounds reach the audio stand-in
        EXPECT_TRUE(countdownDrawn());
        EXPECT_EQ(TextureOf(H::kCountdownPicture), stage.picture);
        EXPECT_EQ(Sounds("count_down"), stage.countSounds);
        EXPECT_EQ(Gos(), 0u);
    }
    while (frame < 26) {
        Frame(0.25f);
        ++frame;
    }
    hub.DispatchQueued();
    EXPECT_TRUE(countdownDrawn());
    EXPECT_EQ(TextureOf(H::kCountdownPicture), "Countdown_go");
    EXPECT_EQ(Sounds("go"), 1);
    EXPECT_EQ(Gos(), 1u);
    // Gone from 7.5 s on.
    for (int i = 0; i < 3; ++i) Frame(0.25f);
    EXPECT_TRUE(countdownDrawn()) << "7.25 s";
    Frame(0.25f);
    EXPECT_FALSE(countdownDrawn()) << "7.5 s";
    EXPECT_FALSE(hud->IsCountdownRunning());
    Frames(8, 0.25f);
    EXPECT_FALSE(countdownDrawn());
    hub.DispatchQueued();
    EXPECT_EQ(Sounds("count_down"), 3);
    EXPECT_EQ(Sounds("go"), 1);
    EXPECT_EQ(Gos(), 1u);
}

TEST_F(HUDComponentTest, SoundsGoToTheAudioSystemAtHalfVolumeFromTheHud) {
    Start(false, 1.0f);
    LevelStart();
    Frames(40, 0.125f);
    hub.DispatchQueued();
    ASSERT_EQ(audio->sounds.size(), 4u);
    for (std::size_t i = 0; i < audio->sounds.size(); ++i) {
        EXPECT_EQ(audio->sounds[i].volume, 0.5f);
        EXPECT_FALSE(audio->sounds[i].looped);
        EXPECT_EQ(audio->sounds[i].position, D3DXVECTOR3(0, 0, 0));
        EXPECT_EQ(audio->senders[i], hud->GetId());
    }
    EXPECT_EQ(audio->sounds.back().name, "go");
}

TEST_F(HUDComponentTest, AFrameJumpingPastTheEndStillSendsOneGo) {
    Start();
    Frame(0.0f);
    LevelStart();
    Frame(8.0f);
    hub.DispatchQueued();
    EXPECT_EQ(Gos(), 1u);
    EXPECT_EQ(Sounds("go"), 1);
    EXPECT_FALSE(hud->IsCountdownRunning());
    Frames(20, 0.25f);
    EXPECT_EQ(Gos(), 1u);
}

TEST_F(HUDComponentTest, AZeroDurationCountdownSendsOneGo) {
    Start(false, 0.0f);
    Frame(0.0f);
    LevelStart();
    Frames(10, 0.25f);
    EXPECT_EQ(Gos(), 0u);
    Frames(10, 0.25f);
    EXPECT_EQ(Gos(), 1u);
    Frames(10, 0.25f);
    EXPECT_EQ(Gos(), 1u);
}

TEST_F(HUDComponentTest, ASecondLevelStartReplaysNoStage) {
    Start();
    Frame(0.0f);
    LevelStart();
    Frames(40, 0.25f);
    hub.DispatchQueued();
    ASSERT_EQ(Gos(), 1u);
    LevelStart();
    Frames(40, 0.25f);
    hub.DispatchQueued();
    EXPECT_EQ(Gos(), 1u);
    EXPECT_EQ(Sounds("count_down"), 3);
    EXPECT_EQ(Sounds("go"), 1);
}

TEST_F(HUDComponentTest, TheCountdownWaitsForThePlayer) {
    MakeHud();
    LevelStart();
    Frames(40, 0.25f);
    EXPECT_EQ(Gos(), 0u);
    EXPECT_EQ(hud->GetCountdownClock(), -2.5f);
    announced = ship->GetId();
    Frames(40, 0.25f);
    EXPECT_EQ(Gos(), 1u);
}

// ---- Links and lifetime -----------------------------------------------------

TEST_F(HUDComponentTest, AnAnnouncedObjectWithoutPlayerOrHealthSkipsWhatNeedsThem) {
    MakeHud(true);
    auto* bare = new GameObject;
    bare->AddComponent(new Transform);
    announced = bare->GetId();
    LevelStart();
    Frames(40, 0.25f);
    EXPECT_EQ(TextureOf(H::kHealthBar), "NEW_HUD_Healthbar_16");
    EXPECT_EQ(TextureOf(H::kShieldsIcon), "status_shields_disabled");
    EXPECT_EQ(TextOf(H::kPointsText)->GetText(), "");
    EXPECT_EQ(Gos(), 1u) << "the countdown runs all the same";
    EXPECT_EQ(drawn.size(), 9u);
    // The ship announced later gives the thresholds and the icons.
    announced = ship->GetId();
    health->currentHP = 50;
    Frame(0.25f);
    EXPECT_EQ(TextureOf(H::kHealthBar), "NEW_HUD_Healthbar_8");
    EXPECT_EQ(TextureOf(H::kShieldsIcon), "status_shields_active");
    EXPECT_EQ(TextOf(H::kHealthText)->GetText(), "50");
}

TEST_F(HUDComponentTest, OnlyTheShipsCarrierGivesDistanceAndSpeed) {
    Start(true);
    // An enemy carrier announced first.
    auto* enemy = new GameObject;
    auto* enemyCrawler = new SplineCrawler;
    enemyCrawler->distance = 999.0f;
    enemy->AddComponent(enemyCrawler);
    Post(kMsgCrawlerAnnounced, 0, enemy->GetId());
    crawler->distance = 12.5f;
    crawler->currentSpeed = 30.0f;
    Frame(0.25f);
    EXPECT_EQ(TextOf(H::kDistanceText)->GetText(), "12");
    overlord.UnregisterGameObject(enemy->GetId());
    Frames(2, 0.25f);
    EXPECT_EQ(TextOf(H::kSpeedText)->GetText(), "30");
}

TEST_F(HUDComponentTest, BeforeAnyCrawlerIsAnnouncedDistanceAndSpeedAreNotShown) {
    MakeHud(true);
    announced = ship->GetId();
    Frame(0.25f);
    EXPECT_FALSE(TextDrawn(H::kDistanceText));
    EXPECT_FALSE(TextDrawn(H::kSpeedText));
    EXPECT_TRUE(TextDrawn(H::kHealthText));
    Post(kMsgCrawlerAnnounced, 0, carrier->GetId());
    Frame(0.25f);
    EXPECT_TRUE(TextDrawn(H::kDistanceText));
    EXPECT_TRUE(TextDrawn(H::kSpeedText));
}

TEST_F(HUDComponentTest, TheCarrierUnregisteredMidLevelIsNeverReadAgain) {
    Start(true);
    crawler->distance = 40.0f;
    Frame(0.25f);
    EXPECT_TRUE(TextDrawn(H::kDistanceText));
    overlord.UnregisterGameObject(carrier->GetId());
    Frames(3, 0.25f);  // the Graveyard deletes it after the first
    EXPECT_FALSE(TextDrawn(H::kDistanceText));
    EXPECT_FALSE(TextDrawn(H::kSpeedText));
    EXPECT_TRUE(TextDrawn(H::kPointsText));
}

TEST_F(HUDComponentTest, TheShipUnregisteredMidLevelIsNeverReadAgain) {
    Start(true);
    Frame(0.25f);
    announced = 0;  // GameLogic announces no player once the ship is gone
    overlord.UnregisterGameObject(ship->GetId());
    Frames(3, 0.25f);
    EXPECT_EQ(drawn.size(), 9u);
    EXPECT_TRUE(drawnTexts.empty());
}

TEST_F(HUDComponentTest, UnregisteringTheHudUnregistersItsPicturesAndTexts) {
    const std::size_t before = ObjectCount();
    MakeHud(true);
    EXPECT_EQ(ObjectCount(), before + 1 + 10 + 6);
    overlord.UnregisterGameObject(hudObject->GetId());
    EXPECT_EQ(ObjectCount(), before);
    graveyard.Collect(1000.0f);
    hub.DispatchQueued();
}

TEST_F(HUDComponentTest, ASecondInitReplacesThePictures) {
    MakeHud();
    const std::size_t count = ObjectCount();
    const u32 first = Element(H::kLivesCircle);
    hud->Init();
    EXPECT_EQ(ObjectCount(), count);
    EXPECT_NE(Element(H::kLivesCircle), first);
    EXPECT_EQ(overlord.GetGameObject(first), nullptr);
}

// ---- Clone ------------------------------------------------------------------

TEST_F(HUDComponentTest, ACloneCopiesTheSettingsButNotThePictures) {
    MakeHud(true, 3.0f);
    std::unique_ptr<IComponent> copy(hud->Clone());
    auto* clone = static_cast<HUDComponent*>(copy.get());
    EXPECT_TRUE(clone->enableBarText);
    EXPECT_EQ(clone->countdownDuration, 3.0f);
    EXPECT_NE(clone->GetId(), hud->GetId());
    EXPECT_EQ(clone->GetElement(H::kLivesCircle), 0u);
    EXPECT_EQ(clone->GetText(H::kPointsText), 0u);
}

}  // namespace
