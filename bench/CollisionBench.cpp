// One CollisionSystem update over sphere colliders, all taken into its sweep
// list (a quarter in group 0, which pairs with everything), spread through a
// tunnel 80 units wide, with one touching pair per 100 colliders; per collider
// count. The tunnel grows with the count (0.9 units of length per collider,
// 1,800 at 2,000), so the colliders stand as densely as in a level and the
// time is the system's own growth. "Dense" keeps the tunnel at 1,800 units
// whatever the count: the colliders crowd together and the pairs that overlap
// along the tunnel grow with the square of the count. "Literal" runs the
// plain double loop over the same sorted list (every candidate pair visited)
// for comparison.
#include <benchmark/benchmark.h>

#include <algorithm>
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

    // `count` colliders along a tunnel `length` units long, centred on the
    // origin.
    World(int count, float length) {
        system = new CollisionSystem;
        engine->AddSystem(system);
        system->Init();
        const u32 focus = Make({0, 0, 0}, 0, 0);
        Broadcast(kMsgFocusObject, 0, focus);
        std::mt19937 random(7);
        const float half = 0.5f * length;
        std::uniform_real_distribution<float> across(-40.0f, 40.0f), along(-half, half), size(0.5f, 2.0f);
        const int touching = count / 100;
        for (int i = 0; i < touching; ++i) {  // touching pairs, apart from the rest
            const D3DXVECTOR3 at(across(random), 60.0f, along(random));
            Make(at, 1.0f, 1);
            Make(at + D3DXVECTOR3(0, 0, 1.5f), 1.0f, 2);
        }
        for (int i = 2 * touching; i < count; ++i)
            Make({across(random), across(random), along(random)}, size(random), i % 4 == 0 ? 0 : 1 + i % 3);
        // The focus flies the tunnel's length, so every collider comes within
        // the intake distance once (an entry stays once taken in); then the
        // first sort.
        Transform* ship = overlord.GetComponent<Transform>(focus);
        for (float z = -half; ship; z += 0.5f * CollisionSystem::kIntakeDistance) {
            ship->position = ship->worldPosition = D3DXVECTOR3(0, 0, std::min(z, half));
            system->Update(kStep);
            if (z >= half) break;
        }
    }
};

// 0.9 units of tunnel per collider: 1,800 units at 2,000 colliders.
constexpr float kLengthPerCollider = 0.9f;
constexpr float kDenseLength = 1800.0f;

int Count(const benchmark::State& state) {
    return static_cast<int>(state.range(0));
}
float GrownLength(const benchmark::State& state) {
    return kLengthPerCollider * static_cast<float>(Count(state));
}

void ReportTaken(benchmark::State& state, const World& world) {
    state.counters["pairs"] = static_cast<double>(world.system->GetCandidateCount());
    state.counters["listed"] = static_cast<double>(world.system->GetSweepList().Size());
}

void BM_CollisionSystemUpdate(benchmark::State& state) {
    World world(Count(state), GrownLength(state));
    for (auto _ : state) world.system->Update(kStep);
    ReportTaken(state, world);
}

// The density case: the tunnel stays 1,800 units long as the count grows.
void BM_CollisionSystemUpdateDense(benchmark::State& state) {
    World world(Count(state), kDenseLength);
    for (auto _ : state) world.system->Update(kStep);
    ReportTaken(state, world);
}

// The same list, every candidate pair visited and tested in order.
void BM_CollisionLiteralLoop(benchmark::State& state) {
    World world(Count(state), GrownLength(state));
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

BENCHMARK(BM_CollisionSystemUpdate)->Arg(2000)->Arg(4000)->Arg(8000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CollisionSystemUpdateDense)->Arg(2000)->Arg(4000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CollisionLiteralLoop)->Arg(2000)->Arg(4000)->Unit(benchmark::kMillisecond);
