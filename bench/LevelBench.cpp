// Level scripting: one SplineMultiSpawner trigger placing 200 objects of a
// five-component archetype around a straight track (clone, Init,
// announcement, scene entry and placement each), and one trigger code
// broadcast to 500 spawners that hold other codes (the cost every code pays
// in a level full of spawners).
#include <benchmark/benchmark.h>

#include "bench/RunIdCounter.h"

#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/Graveyard.h"
#include "engine/MessageHub.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "game/actors/HackComponent.h"
#include "game/actors/Lifetime.h"
#include "game/level/BroadcastTriggerCode.h"
#include "game/level/MysteryBox.h"
#include "game/level/PowerUp.h"
#include "game/level/Spawner.h"
#include "game/level/SplineMultiSpawner.h"
#include "game/track/PlayerPath.h"
#include "game/track/SplineCrawler.h"
#include "reflection/MetaRegistry.h"
#include "scene/ObjectFactory.h"
#include "scene/SceneManager.h"

namespace {

// The engine-wide services the spawners use, in start-up order.
struct Services {
    MessageHub hub;
    RunIdCounter counter;
    MetaRegistry registry;
    Graveyard graveyard;
    Overlord overlord;
    ObjectFactory factory;
    SceneManager scene;
    Engine engine;

    u32 Make(std::vector<IComponent*> components) {
        GameObject* object = factory.NewGameObject();
        object->AddComponent(new Transform);
        for (IComponent* c : components) object->AddComponent(c);
        object->Init();
        object->AnnounceComponents();
        return object->GetId();
    }
};

void BM_SplineMultiSpawnerSpawn200(benchmark::State& state) {
    Services s;
    GameObject* prototype = s.factory.NewGameObject();
    prototype->SetArchetypeName("Drone");
    for (IComponent* c :
         std::vector<IComponent*>{new Transform, new Lifetime, new MysteryBox, new HackComponent, new PowerUp})
        prototype->AddComponent(c);
    s.factory.AddArchetypeByName(prototype);

    auto* path = new PlayerPath;
    path->wps = {Waypoint{{0, 0, 0}, {0, 0, 0, 1}}, Waypoint{{0, 0, 10000}, {0, 0, 0, 1}}};
    const u32 pathObject = s.Make({path});
    auto* crawler = new SplineCrawler;
    crawler->splineGameObjectID = pathObject;
    const u32 carrier = s.Make({crawler});
    const u32 player = s.Make({});
    s.overlord.GetGameObject(player)->SetParent(carrier);

    auto* spawner = new SplineMultiSpawner;
    spawner->archetype = "Drone";
    spawner->numSpawns = 200;
    spawner->distanceStep = 20.0f;
    spawner->angleStep = 30.0f;
    s.Make({spawner});
    Broadcast(kMsgPlayerObject, 0, player);

    for (auto _ : state) {
        spawner->Spawn();
        state.PauseTiming();
        for (u32 id : s.scene.GetObjectIds()) s.overlord.UnregisterGameObject(id);
        s.scene.GetObjectIds().clear();
        s.graveyard.Collect(1000.0f);
        s.hub.DispatchQueued();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * 200);
}

void BM_TriggerCodeReaching500Spawners(benchmark::State& state) {
    Services s;
    for (i32 code = 1; code <= 500; ++code) {
        auto* spawner = new Spawner;
        spawner->archetype = "Drone";
        spawner->triggerCode = code;
        s.Make({spawner});
    }
    for (auto _ : state) BroadcastTriggerCode(0, 0);
}

}  // namespace

BENCHMARK(BM_SplineMultiSpawnerSpawn200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TriggerCodeReaching500Spawners)->Unit(benchmark::kMicrosecond);
