// One CollisionSystem update over sphere colliders all within the intake
// distance of the focus (a quarter in group 0, which pairs with everything),
// spread through a tunnel 80 units wide and 1,800 long, with 20 touching
// pairs; per collider count. "Literal" runs the plain double loop over the
// same sorted list (every candidate pair visited) for comparison.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "core/IdCounter.h"
#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/Graveyard.h"
#include "engine/MessageHub.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "game/physics/CollisionSystem.h"
#include "game/physics/PairTests.h"
#include "game/physics/SphereCollision.h"

namespace {

constexpr float kStep = 0.0166667f;

struct World {
    MessageHub hub;
    IdCounter counter{1};
    Graveyard graveyard;
    Overlord overlord;
    std::unique_ptr<Engine> engine = std::make_unique<Engine>();
    CollisionSystem* system = nullptr;

    u32 Make(const D3DXVECTOR3& at, float radius, int group) {
        auto* object = new GameObject;
        auto* transform = new Transform;
        transform->position = transform->worldPosition = at;
        object->AddComponent(transform);
        if (radius > 0) {
            auto* sphere = new SphereCollision;
            sphere->radius = radius;
            sphere->collisionGroup = group;
            object->AddComponent(sphere);
        }
        object->Init();
        object->AnnounceComponents();
        return object->GetId();
    }

    explicit World(int count) {
        system = new CollisionSystem;
        engine->AddSystem(system);
        system->Init();
        Broadcast(kMsgFocusObject, 0, Make({0, 0, 0}, 0, 0));
        std::mt19937 random(7);
        std::uniform_real_distribution<float> across(-40.0f, 40.0f), along(-900.0f, 900.0f), size(0.5f, 2.0f);
        for (int i = 0; i < 20; ++i) {  // touching pairs, apart from the rest
            const D3DXVECTOR3 at(across(random), 60.0f, along(random));
            Make(at, 1.0f, 1);
            Make(at + D3DXVECTOR3(0, 0, 1.5f), 1.0f, 2);
        }
        for (int i = 40; i < count; ++i)
            Make({across(random), across(random), along(random)}, size(random), i % 4 == 0 ? 0 : 1 + i % 3);
        system->Update(kStep);  // intake and the first sort
    }
};

void BM_CollisionSystemUpdate(benchmark::State& state) {
    World world(static_cast<int>(state.range(0)));
    for (auto _ : state) world.system->Update(kStep);
    state.counters["pairs"] = static_cast<double>(world.system->GetCandidateCount());
}

// The same list, every candidate pair visited and tested in order.
void BM_CollisionLiteralLoop(benchmark::State& state) {
    World world(static_cast<int>(state.range(0)));
    const SweepList& list = world.system->GetSweepList();
    long long candidates = 0;
    for (auto _ : state) {
        candidates = 0;
        for (size_t i = 0; i < list.Size(); ++i) {
            for (size_t j = i + 1; j < list.Size(); ++j) {
                const SweepEntry& a = list.At(i);
                const SweepEntry& b = list.At(j);
                if (!CollisionSystem::IsCandidate(a, b)) continue;
                ++candidates;
                const auto* sa = Overlord::FindComponent<SphereCollision>(a.objectId);
                const auto* sb = Overlord::FindComponent<SphereCollision>(b.objectId);
                if (sa && sb && SpherePairTest(*sa, *sb) && !CollisionSystem::GroupsExcluded(a.group, b.group))
                    SendToObject(kMsgCollision, b.objectId, a.objectId);
            }
        }
    }
    state.counters["pairs"] = static_cast<double>(candidates);
}

}  // namespace

BENCHMARK(BM_CollisionSystemUpdate)->Arg(2000)->Arg(4000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CollisionLiteralLoop)->Arg(2000)->Arg(4000)->Unit(benchmark::kMillisecond);
