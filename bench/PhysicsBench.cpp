// The physics step and its id walks. "Step" is one fixed step over N bodies
// and N/4 crawlers riding one 100-point track (each on its own object with a
// Transform), the refresh sent to every moved object included; the argument
// is N (2,000 and 4,000: the doubling). "Walk" visits 5,000 component ids of
// which every second names a component already unregistered, so the walk
// drops half the list; the list is refilled (a copy) inside the timing.
// "Colliders" is one step over 1,000 objects each with a cylinder and a
// sphere: apart (argument 0: a million pair tests, no contact) or heaped at
// one spot (argument 1: each pass stops at its contact budget).
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

#include "core/IdCounter.h"
#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/Graveyard.h"
#include "engine/Logger.h"
#include "engine/MessageHub.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "game/physics/Body.h"
#include "game/physics/CylinderCollision.h"
#include "game/physics/IdList.h"
#include "game/physics/Physics.h"
#include "game/physics/SphereCollision.h"
#include "game/track/PlayerPath.h"
#include "game/track/SplineCrawler.h"

namespace {

struct Services {
    MessageHub hub;
    IdCounter counter{1};
    Graveyard graveyard;
    Overlord overlord;
};

// The services, a log in a temporary folder and an engine holding one
// Physics: what a step needs. The folder goes with it.
struct PhysicsWorld {
    explicit PhysicsWorld(const char* name) : folder((std::filesystem::temp_directory_path() / name).string()) {
        std::filesystem::create_directories(folder);
        logger = std::make_unique<Logger>(folder + "/", ".log");
        engine = std::make_unique<Engine>();
        physics = new Physics;  // owned by the engine
        engine->AddSystem(physics);
        physics->Init();
    }
    ~PhysicsWorld() {
        engine.reset();
        logger.reset();
        std::filesystem::remove_all(folder);
    }
    std::string folder;
    Services services;
    std::unique_ptr<Logger> logger;
    std::unique_ptr<Engine> engine;
    Physics* physics = nullptr;
};

u32 MakeObject(IComponent* component, const D3DXVECTOR3& at) {
    auto* object = new GameObject();
    auto* transform = new Transform;
    transform->position = transform->worldPosition = at;
    object->AddComponent(transform);
    object->AddComponent(component);
    object->Init();
    object->AnnounceComponents();
    return object->GetId();
}

void BM_PhysicsStep(benchmark::State& state) {
    PhysicsWorld world("dd_physics_bench");
    Physics* physics = world.physics;
    Services& services = world.services;

    auto* path = new PlayerPath;
    for (int i = 0; i < 100; ++i) {
        const float a = static_cast<float>(i) * 0.3f;
        path->wps.push_back(Waypoint{{std::cos(a) * 40.0f, std::sin(a) * 25.0f, i * 50.0f}, {0, 0, 0, 1}});
    }
    const u32 pathObject = MakeObject(path, {});
    const int bodies = static_cast<int>(state.range(0));
    for (int i = 0; i < bodies; ++i) {
        auto* body = new Body;
        body->vel = {1.0f, 0.0f, 2.0f};
        body->persistForce = {0.0f, 0.5f, 0.0f};
        body->angVel = {0.0f, 0.1f, 0.0f};
        MakeObject(body, {static_cast<float>(i), 0.0f, 0.0f});
    }
    for (int i = 0; i < bodies / 4; ++i) {
        auto* crawler = new SplineCrawler;
        crawler->persistVelocity = 60.0f;
        crawler->distance = static_cast<float>(i) * 5.0f;
        crawler->splineGameObjectID = pathObject;
        MakeObject(crawler, {});
    }
    services.hub.DispatchQueued();

    for (auto _ : state) physics->Update(Physics::kStep);
    state.counters["bodies"] = static_cast<double>(physics->GetBodyIds().Size());
    state.counters["crawlers"] = static_cast<double>(physics->GetCrawlerIds().Size());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PhysicsStep)->Arg(2000)->Arg(4000)->Unit(benchmark::kMillisecond);

void BM_Colliders(benchmark::State& state) {
    PhysicsWorld world("dd_collider_bench");
    Physics* physics = world.physics;
    Services& services = world.services;
    const bool heaped = state.range(0) != 0;
    for (int i = 0; i < 1000; ++i) {
        auto* object = new GameObject();
        auto* transform = new Transform;
        transform->position = transform->worldPosition = {heaped ? 0.0f : 100.0f * static_cast<float>(i), 0.0f, 0.0f};
        object->AddComponent(transform);
        object->AddComponent(new CylinderCollision);
        auto* sphere = new SphereCollision;
        sphere->radius = 1.0f;
        object->AddComponent(sphere);
        object->Init();
        object->AnnounceComponents();
    }
    services.hub.DispatchQueued();

    for (auto _ : state) {
        physics->Update(Physics::kStep);
        services.hub.DispatchQueued();  // the step's queued collisions
    }
    state.counters["cylinders"] = static_cast<double>(physics->GetCylinderIds().Size());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Colliders)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_IdWalkHalfDead(benchmark::State& state) {
    Services services;
    constexpr int kIds = 5000;
    IdList full;
    auto* object = new GameObject();
    for (int i = 0; i < kIds; ++i) {
        auto* body = new Body;
        object->AddComponent(body);
        full.Add(body->GetId());
    }
    // Every second component unregistered: its id names nothing any more.
    for (size_t i = 0; i < full.Ids().size(); i += 2)
        services.overlord.UnregisterComponent(services.overlord.GetComponentById(full.Ids()[i]));
    const u32 typeId = TypeId<Body>::Get();
    float sum = 0.0f;
    for (auto _ : state) {
        IdList walked = full;
        walked.ForEachLive(typeId, [&](IComponent& c) { sum += static_cast<Body&>(c).mass; });
        benchmark::DoNotOptimize(walked.Size());
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations() * kIds);
}
BENCHMARK(BM_IdWalkHalfDead)->Unit(benchmark::kMicrosecond);

}  // namespace
