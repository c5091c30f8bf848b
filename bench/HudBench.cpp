// The heads-up display's frame. "HudUpdateSteady": HUDComponent::Update with
// "enableBarText" on and steady values, after the countdown has ended: the
// ship's Player and Health and its carrier's SplineCrawler looked up, the
// shield bubble placed and spun, both bars stepped, six texts written and
// submitted, nine draw requests to a renderer that collects them. The
// counter "retextures" must stay 0: steady values give no new texture.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "core/IdCounter.h"
#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/Graveyard.h"
#include "engine/ISystem.h"
#include "engine/Logger.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "frontend/hud/HUDComponent.h"
#include "game/actors/Player.h"
#include "game/combat/Health.h"
#include "game/track/SplineCrawler.h"
#include "platform/AudioSystem.h"
#include "render/frame/GraphicsSystem.h"
#include "render/frame/RenderLists.h"
#include "scene/ObjectFactory.h"

namespace {

// Takes the sound requests of the countdown in the AudioSystem's place.
class QuietAudio : public ISystem {
public:
    QuietAudio() : ISystem(TypeId<AudioSystem>::Get()) {}
};

struct World {
    World() {
        std::filesystem::create_directories(folder);
        logger = std::make_unique<Logger>(folder + "/", ".log");
        engine->AddSystem(new QuietAudio);
        engine->AddSystem(graphics);

        auto* carrier = new GameObject;
        crawler = new SplineCrawler;
        carrier->AddComponent(crawler);
        auto* ship = new GameObject;
        ship->AddComponent(new Transform);
        player = new Player;
        ship->AddComponent(player);
        health = new Health;
        health->maxHP = 100;
        health->currentHP = 75;
        ship->AddComponent(health);
        ship->SetParent(carrier->GetId());
        player->energy = 42.5f;
        player->points = 123456;
        crawler->distance = 1234.5f;
        crawler->currentSpeed = 87.25f;
        shipId = ship->GetId();

        auto* hudObject = new GameObject;
        hud = new HUDComponent;
        hud->enableBarText = true;
        hudObject->AddComponent(hud);
        hudObject->Init();
        // The countdown played to its end, as in the rest of a level.
        Broadcast(kMsgLevelStart, 0);
        for (int i = 0; i < 600; ++i) Frame(1.0f / 60.0f);
    }
    ~World() {
        engine.reset();
        logger.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    // What a frame does around the HUD: the drain, GameLogic's announcement,
    // the HUD's Update, the renderer's lists emptied.
    void Frame(float dt) {
        hub.DispatchQueued();
        Broadcast(kMsgPlayerObject, 0, shipId);
        hud->Update(dt);
        ClearDrawLists();
    }
    void ClearDrawLists() {
        graphics->GetLists().frameModels.clear();
        graphics->GetLists().frameTexts.clear();
    }

    std::string folder = (std::filesystem::temp_directory_path() / "dd_hud_bench").string();
    MessageHub hub;
    IdCounter counter{1};
    Graveyard graveyard;
    Overlord overlord;
    ObjectFactory factory;
    std::unique_ptr<Logger> logger;
    std::unique_ptr<Engine> engine = std::make_unique<Engine>();
    GraphicsSystem* graphics = new GraphicsSystem;
    SplineCrawler* crawler = nullptr;
    Player* player = nullptr;
    Health* health = nullptr;
    HUDComponent* hud = nullptr;
    u32 shipId = 0;
};

void BM_HudUpdateSteady(benchmark::State& state) {
    World world;
    const u64 retextures = world.hud->GetRetextureCount();
    for (auto _ : state) {
        world.hud->Update(1.0f / 60.0f);
        world.ClearDrawLists();
    }
    state.counters["retextures"] = static_cast<double>(world.hud->GetRetextureCount() - retextures);
}
BENCHMARK(BM_HudUpdateSteady)->Unit(benchmark::kMicrosecond);

}  // namespace
