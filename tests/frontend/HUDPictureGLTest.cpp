// The heads-up display drawn by the real renderer on an offscreen window,
// with test textures of its own (the countdown picture plain red, the lives
// circle plain green, every other picture fully transparent), the HUD updated
// by GameLogic as in a level: during the countdown its picture covers the
// window centre's neighbourhood and the lives circle its corner of the bars;
// with the game paused GameLogic leaves the HUD alone and neither is drawn.
// In a window smaller than 1024 x 768 both are drawn smaller and nearer the
// centre, the lives circle inside the window.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/GameObject.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Transform.h"
#include "frontend/hud/HUDComponent.h"
#include "game/actors/Player.h"
#include "game/combat/Health.h"
#include "game/scene/GameLogic.h"
#include "tests/frontend/HudWorld.h"
#include "tests/render/FrameTestRig.h"
#include "tests/support/TempFolder.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// An uncompressed 32-bit TGA of one colour (the texture loader reads what the
// file holds, whatever its extension says).
void WriteSolidTexture(const std::string& path, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    constexpr int kSide = 8;
    std::vector<std::uint8_t> bytes = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, kSide, 0, kSide, 0, 32, 0x28};
    for (int i = 0; i < kSide * kSide; ++i) bytes.insert(bytes.end(), {b, g, r, a});
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool IsRed(const Rgb& c) {
    return c.r > 200 && c.g < 60 && c.b < 60;
}
bool IsGreen(const Rgb& c) {
    return c.g > 200 && c.r < 60 && c.b < 60;
}

class HUDPictureGLTest : public FrameTestRig {
protected:
    // The window, the renderer, GameLogic, the ship and the HUD made in it.
    void Open(int width, int height) {
        FilePath textures;
        textures.baseFolder = folder_.Path() + "/";
        textures.path = "";
        textures.extension = ".dds";
        for (const char* name :
             {"NEW_player_shield", "status_shields_disabled", "status_weapons_disabled", "status_boost_disabled",
              "status_shields_active", "status_weapons_active", "status_boost_active", "Countdown_2", "Countdown_1",
              "Countdown_go", "NEW_HUD_healthbar_back", "NEW_HUD_energybar_back"})
            WriteSolidTexture(textures.GetFullPath(name), 0, 0, 0, 0);
        for (int step = 1; step <= 16; ++step) {
            WriteSolidTexture(textures.GetFullPath("NEW_HUD_Healthbar_" + std::to_string(step)), 0, 0, 0, 0);
            WriteSolidTexture(textures.GetFullPath("NEW_HUD_Energybar_" + std::to_string(step)), 0, 0, 0, 0);
        }
        WriteSolidTexture(textures.GetFullPath("Countdown_3"), 255, 0, 0, 255);
        WriteSolidTexture(textures.GetFullPath("NEW_HUD_circle_lives"), 0, 255, 0, 255);
        resources = std::make_unique<RenderResources>(textures, AssetFolder("particle", ".dds"));

        Start(width, height);
        engine->AddSystem(audio);
        engine->AddSystem(logic);

        ship = new GameObject;
        ship->AddComponent(new Transform);
        auto* player = new Player;
        player->energy = 100.0f;
        ship->AddComponent(player);
        auto* health = new Health;
        health->maxHP = health->currentHP = 100;
        ship->AddComponent(health);

        auto* hudObject = new GameObject;
        hud = new HUDComponent;
        hudObject->AddComponent(hud);
        hudObject->Init();
        hudObject->AnnounceComponents();  // into GameLogic's HUD list
    }

    // A game frame: GameLogic (which, unpaused, announces the ship and
    // updates the HUD), then the render of what was asked for.
    Picture GameFrame(float dt) {
        hub->DispatchQueued();
        if (!logic->IsPaused()) Broadcast(kMsgPlayerObject, logic->GetTypeId(), ship->GetId());
        logic->Update(dt);
        return Draw();
    }

    TempFolder folder_;
    SoundLog* audio = new SoundLog;
    GameLogic* logic = new GameLogic;
    GameObject* ship = nullptr;
    HUDComponent* hud = nullptr;
};

TEST_F(HUDPictureGLTest, CountdownAndLivesCircleAreDrawnUnlessTheGameIsPaused) {
    Open(kWidth, kHeight);
    GameFrame(0.0f);
    Broadcast(kMsgLevelStart, 0);
    // 3.5 s after (73, 0): the first picture, "Countdown_3".
    GameFrame(2.0f);
    const Picture counting = GameFrame(1.5f);
    ASSERT_EQ(counting.Width(), kWidth);
    ASSERT_EQ(counting.Height(), kHeight);
    EXPECT_TRUE(IsRed(counting.At(512, 359))) << counting.At(512, 359).r << " " << counting.At(512, 359).g;
    EXPECT_TRUE(IsGreen(counting.At(639, 690))) << counting.At(639, 690).r << " " << counting.At(639, 690).g;
    // The picture's edges: 150 x 100 around (512, 359).
    EXPECT_TRUE(IsRed(counting.At(440, 312)));
    EXPECT_FALSE(IsRed(counting.At(432, 359)));
    EXPECT_FALSE(IsRed(counting.At(512, 414)));

    logic->SetPaused(true);
    const Picture paused = GameFrame(0.25f);
    EXPECT_FALSE(IsRed(paused.At(512, 359)));
    EXPECT_FALSE(IsGreen(paused.At(639, 690)));

    logic->SetPaused(false);
    const Picture resumed = GameFrame(0.25f);
    EXPECT_TRUE(IsRed(resumed.At(512, 359)));
    EXPECT_TRUE(IsGreen(resumed.At(639, 690)));
}

// 800 x 600: the layout at 0.78125 of its size about the centre. The
// circle's centre (127, -306) becomes (99.2, -239.1): pixel (499, 539); the
// countdown's 150 x 100 around (0, 25) becomes 117 x 78 around row 280.
TEST_F(HUDPictureGLTest, InASmallerWindowTheHudIsDrawnScaledAboutTheCentre) {
    Open(800, 600);
    GameFrame(0.0f);
    Broadcast(kMsgLevelStart, 0);
    GameFrame(2.0f);
    const Picture counting = GameFrame(1.5f);
    ASSERT_EQ(counting.Width(), 800);
    ASSERT_EQ(counting.Height(), 600);
    EXPECT_TRUE(IsGreen(counting.At(499, 539))) << counting.At(499, 539).g;
    EXPECT_FALSE(IsGreen(counting.At(499, 558)));
    EXPECT_FALSE(IsGreen(counting.At(520, 539)));
    EXPECT_TRUE(IsRed(counting.At(400, 280)));
    EXPECT_TRUE(IsRed(counting.At(345, 245)));
    EXPECT_FALSE(IsRed(counting.At(336, 280)));
    EXPECT_FALSE(IsRed(counting.At(400, 325)));
}

}  // namespace
