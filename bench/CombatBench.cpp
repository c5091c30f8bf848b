// Weapons and projectiles in play. "LiveProjectiles": the gameplay part of a
// frame (Physics, then the walks GameLogic makes over the weapon, projectile,
// pattern manager and Health lists) with 1,000 launched bullets in flight,
// each of Transform, Body, Projectile and a manager driving a curved pattern.
// "Shot": one Weapon shot of a six-component archetype (made, initialised,
// announced to both systems and launched); the bullets are taken away outside
// the timing. "ShotsFiredAndExpired": a frame with 200 bullets in flight and
// the hub's subscription count, before and after 10,000 shots that were
// fired, flown and unregistered; the counters give both sides.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/IdCounter.h"
#include "engine/ComponentList.h"
#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/Graveyard.h"
#include "engine/ISystem.h"
#include "engine/Logger.h"
#include "engine/MessageHub.h"
#include "engine/Overlord.h"
#include "engine/Ray.h"
#include "engine/Transform.h"
#include "game/combat/Health.h"
#include "game/combat/Projectile.h"
#include "game/combat/ProjectilePatternManager.h"
#include "game/combat/Weapon.h"
#include "game/physics/Body.h"
#include "game/physics/Physics.h"
#include "render/light/PointLight.h"
#include "scene/ObjectFactory.h"

namespace {

// GameLogic's walks over the lists a frame of projectiles touches, in its
// order: weapons, projectiles, pattern managers, Health.
class CombatLists : public ISystem {
public:
    CombatLists() : ISystem(TypeId<CombatLists>::Get()) {
        const u32 types[kCount] = {TypeId<Weapon>::Get(), TypeId<Projectile>::Get(),
                                   TypeId<ProjectilePatternManager>::Get(), TypeId<Health>::Get()};
        for (int i = 0; i < kCount; ++i) {
            types_[i] = types[i];
            Subscribe(ComponentAnnounced(types[i]));
        }
    }
    void HandleMessage(Message* m) override {
        for (int i = 0; i < kCount; ++i)
            if (const u32* id = m->Read(ComponentAnnounced(types_[i]))) lists_[i].Add(*id);
        if (m->Is(ComponentAnnounced(types_[2]))) bulletObjects.push_back(m->sender);
    }
    void Update(float dt) override {
        for (ComponentList& list : lists_) {
            while (list.HasNext())
                if (IComponent* c = list.Next()) c->Update(dt);
            list.EndPass();
        }
    }
    void Init() override {}
    void Clear() override {}
    void Activate() override {}
    void Deactivate() override {}
    std::vector<u32> bulletObjects;  // the objects of the announced managers

private:
    static constexpr int kCount = 4;
    u32 types_[kCount] = {};
    ComponentList lists_[kCount];
};

constexpr float kFrame = 1.0f / 60.0f;
const Ray kAhead{{0, 0, 0}, {0, 0, 1}};

// The engine-wide services, the two gameplay systems, a "Bullet" archetype
// and a shooter with a Weapon firing it.
struct World {
    explicit World(int extraComponents) {
        std::filesystem::create_directories(folder);
        logger = std::make_unique<Logger>(folder + "/", ".log");
        engine->AddSystem(physics);
        engine->AddSystem(logic);
        physics->Init();
        GameObject* bullet = factory.NewGameObject();
        bullet->SetArchetypeName("Bullet");
        bullet->AddComponent(new Transform);
        bullet->AddComponent(new Body);
        bullet->AddComponent(new Projectile);
        auto* manager = new ProjectilePatternManager;
        manager->patternToUse = "TopSin";
        bullet->AddComponent(manager);
        for (int i = 0; i < extraComponents; ++i) bullet->AddComponent(new PointLight);
        factory.AddArchetypeByName(bullet);
        weapon = new Weapon;
        weapon->projectileArchetypes = {"Bullet"};
        auto* shooter = factory.NewGameObject();
        shooter->AddComponent(new Transform);
        shooter->AddComponent(weapon);
        shooter->Init();
        shooter->AnnounceComponents();
    }
    ~World() {
        engine.reset();
        logger.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    // One shot, whatever the recharge.
    void Shoot() {
        weapon->recharging = false;
        weapon->Fire(kAhead);
    }
    // The gameplay part of one frame.
    void Frame() {
        physics->Update(kFrame);
        logic->Update(kFrame);
    }
    // The end of a frame: queued messages, the Graveyard, the log.
    void EndFrame() {
        hub.DispatchQueued();
        graveyard.Collect(1000.0f);
        logger->FlushFrame(10);
    }
    // Average seconds of `frames` gameplay frames.
    double TimeFrames(int frames) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < frames; ++i) Frame();
        const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
        return spent.count() / frames;
    }

    const std::string folder = (std::filesystem::temp_directory_path() / "dd_combat_bench").string();
    MessageHub hub;
    IdCounter counter{1};
    Graveyard graveyard;
    Overlord overlord;
    ObjectFactory factory;
    std::unique_ptr<Logger> logger;
    std::unique_ptr<Engine> engine = std::make_unique<Engine>();
    Physics* physics = new Physics;
    CombatLists* logic = new CombatLists;
    Weapon* weapon = nullptr;
};

// The bullets alive, forgetting the others.
std::vector<u32> Bullets(World& world) {
    std::vector<u32> alive;
    for (u32 id : world.logic->bulletObjects)
        if (world.overlord.GetGameObject(id)) alive.push_back(id);
    world.logic->bulletObjects = alive;
    return alive;
}

// Subscriber entries filed under every id drawn so far.
size_t SubscriptionCount(const MessageHub& hub) {
    const u32 last = NewId();
    size_t count = 0;
    for (u32 id = 1; id < last; ++id) count += hub.GetSubscriptionsOf(id).size();
    return count;
}

void Expire(World& world) {
    for (u32 id : Bullets(world)) world.overlord.UnregisterGameObject(id);
    world.EndFrame();
}

void BM_LiveProjectilesFrame(benchmark::State& state) {
    World world(0);
    for (int i = 0; i < 1000; ++i) world.Shoot();
    world.EndFrame();
    for (auto _ : state) world.Frame();
    state.counters["bullets"] = static_cast<double>(Bullets(world).size());
}
BENCHMARK(BM_LiveProjectilesFrame)->Unit(benchmark::kMicrosecond);

void BM_ShotOfSixComponentArchetype(benchmark::State& state) {
    World world(2);
    int shots = 0;
    for (auto _ : state) {
        world.Shoot();
        if (++shots % 500 == 0) {
            state.PauseTiming();
            Expire(world);
            state.ResumeTiming();
        }
    }
    state.counters["components"] = static_cast<double>(world.factory.GetArchetype("Bullet")->GetComponents().size());
}
BENCHMARK(BM_ShotOfSixComponentArchetype)->Unit(benchmark::kMicrosecond);

void BM_ShotsFiredAndExpired(benchmark::State& state) {
    for (auto _ : state) {
        World world(0);
        auto measure = [&](double* frameSeconds, double* subscriptions) {
            for (int i = 0; i < 200; ++i) world.Shoot();
            world.EndFrame();
            world.TimeFrames(20);  // warm
            *frameSeconds = world.TimeFrames(2000);
            *subscriptions = static_cast<double>(SubscriptionCount(world.hub));
            Expire(world);
        };
        double frameBefore = 0, subsBefore = 0, frameAfter = 0, subsAfter = 0;
        measure(&frameBefore, &subsBefore);
        for (int round = 0; round < 100; ++round) {
            for (int i = 0; i < 100; ++i) world.Shoot();
            world.EndFrame();
            for (int f = 0; f < 3; ++f) world.Frame();
            Expire(world);
        }
        measure(&frameAfter, &subsAfter);
        state.counters["frame_us_start"] = frameBefore * 1e6;
        state.counters["frame_us_end"] = frameAfter * 1e6;
        state.counters["subscriptions_start"] = subsBefore;
        state.counters["subscriptions_end"] = subsAfter;
    }
}
BENCHMARK(BM_ShotsFiredAndExpired)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
