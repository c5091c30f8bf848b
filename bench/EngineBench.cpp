// Message delivery rates, the frame loop's own cost per frame and the
// transform hierarchy's update along parent chains.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/IdCounter.h"
#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/Graveyard.h"
#include "engine/IComponent.h"
#include "engine/Logger.h"
#include "engine/MessageHub.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"

namespace {

constexpr Kind<u32> kCount{48, 1};

class CountingComponent : public IComponent {
public:
    CountingComponent() : IComponent(TypeId<CountingComponent>::Get()) {}
    void HandleMessage(Message* m) override {
        if (const u32* value = m->Read(kCount)) sum += *value;
    }
    void Update(float) override {}
    void Init() override {}
    void Shutdown() override {}
    IComponent* Clone() override { return new CountingComponent; }
    void DebugDraw() override {}
    u32 GetAliasTypeId() override { return 0; }
    u64 sum = 0;
};

// Ends the loop after a fixed number of frames; otherwise does nothing.
class EmptySystem : public ISystem {
public:
    EmptySystem(u32 typeId, int* framesLeft) : ISystem(typeId), framesLeft_(framesLeft) { SetName("EmptySystem"); }
    void HandleMessage(Message*) override {}
    void Update(float) override {
        if (framesLeft_ && --*framesLeft_ == 0) Engine::Get().SetActive(false);
    }
    void Init() override {}
    void Clear() override {}
    void Activate() override {}
    void Deactivate() override {}

private:
    int* framesLeft_;
};

struct Services {
    MessageHub hub;
    IdCounter counter{1};
    Graveyard graveyard;
    Overlord overlord;
};

void BM_SendImmediateToComponent(benchmark::State& state) {
    Services services;
    auto* object = new GameObject();
    auto* component = new CountingComponent();
    object->AddComponent(component);
    const u32 id = component->GetId();
    u32 value = 0;
    for (auto _ : state) {
        SendToComponent(kCount, id, 0, ++value);
    }
    benchmark::DoNotOptimize(component->sum);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SendImmediateToComponent);

void BM_BroadcastToEightSubscribers(benchmark::State& state) {
    Services services;
    auto* object = new GameObject();
    for (int i = 0; i < 8; ++i) {
        auto* component = new CountingComponent();
        object->AddComponent(component);
        component->Subscribe(kCount);
    }
    u32 value = 0;
    for (auto _ : state) Broadcast(kCount, 0, ++value);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BroadcastToEightSubscribers);

// Posts a batch, then drains it; items are messages.
void BM_QueuedDrain(benchmark::State& state) {
    Services services;
    auto* object = new GameObject();
    auto* component = new CountingComponent();
    object->AddComponent(component);
    const u32 id = component->GetId();
    const int batch = static_cast<int>(state.range(0));
    for (auto _ : state) {
        for (int i = 0; i < batch; ++i) PostLater(MakeMessage(kCount, &ResolveComponent, id, 0, static_cast<u32>(i)));
        services.hub.DispatchQueued();
    }
    benchmark::DoNotOptimize(component->sum);
    state.SetItemsProcessed(state.iterations() * batch);
}
BENCHMARK(BM_QueuedDrain)->Arg(1000);

// The loop with 17 empty systems: per frame a drain, 17 timed updates, 17
// PERF rows, the FRAMETIME row, the Graveyard, the log hand-over and the
// frame counter. Items are frames.
void BM_FrameLoop17EmptySystems(benchmark::State& state) {
    const std::string folder = (std::filesystem::temp_directory_path() / "dd_engine_bench").string();
    std::filesystem::create_directories(folder);
    Services services;
    auto logger = std::make_unique<Logger>(folder + "/", ".log");
    constexpr int kFrames = 1000;
    for (auto _ : state) {
        state.PauseTiming();
        int framesLeft = kFrames;
        auto engine = std::make_unique<Engine>();
        for (int i = 0; i < 17; ++i) engine->AddSystem(new EmptySystem(NewId(), i == 0 ? &framesLeft : nullptr));
        engine->Init();
        state.ResumeTiming();
        engine->Update(0.0f);
        state.PauseTiming();
        engine.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
    logger.reset();
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_FrameLoop17EmptySystems)->Unit(benchmark::kMillisecond)->UseRealTime();

// A chain of `depth` objects, each the child of the one before, every level
// moved, turned and scaled a little.
std::vector<Transform*> MakeChain(int depth) {
    std::vector<Transform*> chain;
    for (int i = 0; i < depth; ++i) {
        auto* object = new GameObject();
        auto* transform = new Transform();
        transform->position = D3DXVECTOR3(1.0f, 0.5f, 0.25f);
        transform->scale = 1.01f;
        const D3DXVECTOR3 axis(0.3f, 1.0f, 0.2f);
        D3DXQuaternionRotationAxis(&transform->rotation, &axis, 0.05f);
        object->AddComponent(transform);
        transform->Init();
        if (!chain.empty()) object->SetParent(chain.back()->GetOwner());
        chain.push_back(transform);
    }
    return chain;
}

// Update of the deepest transform of a chain of the given depth.
void BM_TransformUpdateAtDepth(benchmark::State& state) {
    Services services;
    const std::vector<Transform*> chain = MakeChain(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        chain.back()->Update(0.0f);
        benchmark::DoNotOptimize(chain.back()->worldPosition);
    }
}
BENCHMARK(BM_TransformUpdateAtDepth)->Arg(1)->Arg(10)->Arg(100);

// Update of every transform of a 100-deep chain, root first.
void BM_TransformUpdateWholeChain(benchmark::State& state) {
    Services services;
    const std::vector<Transform*> chain = MakeChain(100);
    for (auto _ : state)
        for (Transform* transform : chain) transform->Update(0.0f);
    benchmark::DoNotOptimize(chain.back()->worldPosition);
}
BENCHMARK(BM_TransformUpdateWholeChain)->Unit(benchmark::kMicrosecond);

}  // namespace
