// The editor's proxies and picking on the start-up assembly in edit mode: a
// pick among 1,250 to 20,000 proxies of model objects and of marker spheres
// (each count double the last, so the growth per doubling reads off), a still ray, the proxies of a 5,000-object
// scene, a pick after 20 reloads of a 1,000-object scene against the first,
// and one frame's draw walk over 5,000 proxies.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/EditorBenchWorld.h"
#include "editor/mode/Editor.h"
#include "editor/proxy/EditorProxySystem.h"
#include "editor/select/ObjectSelectionSystem.h"
#include "engine/Engine.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "render/frame/GraphicsSystem.h"
#include "scene/SceneManager.h"

namespace {
// Objects stand on a 100-wide grid in front of the eye (x from -50, z from 5).
struct PickWorld : EditorBenchWorld {
    static constexpr Grid kGrid{100, -50.0f, 5.0f};
    PickWorld() : EditorBenchWorld(true) {
        proxies = editor->GetProxySystem();
        selection = editor->GetSelectionSystem();
    }
    void AddModelObjects(int n) { EditorBenchWorld::AddModelObjects(n, kGrid); }
    void AddMarkerObjects(int n) { EditorBenchWorld::AddMarkerObjects(n, kGrid); }
    std::string SceneFile(int n) { return EditorBenchWorld::SceneFile("Picks", n, kGrid); }
    EditorProxySystem* proxies = nullptr;
    ObjectSelectionSystem* selection = nullptr;
};

// A ray toward the middle of the grid, turned a little each time.
Ray NextRay(int i) {
    return Ray{D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0.001f * static_cast<float>(i % 7), 0, 1)};
}

// Picks along a ray down the grid's middle column; the first pick, which
// takes in every proxy, is left out.
void RunPicks(benchmark::State& state, PickWorld& world) {
    int i = 0;
    u32 proxy = 0;
    world.selection->PickProxy(NextRay(i++), &proxy);
    for (auto _ : state) benchmark::DoNotOptimize(world.selection->PickProxy(NextRay(i++), &proxy));
}

// Model objects: each proxy picks by its object's transform and model.
void BM_PickAmongProxies(benchmark::State& state) {
    PickWorld world;
    world.AddModelObjects(static_cast<int>(state.range(0)));
    RunPicks(state, world);
}
BENCHMARK(BM_PickAmongProxies)->Arg(1250)->Arg(2500)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMicrosecond);

// Objects without a model: each proxy is a marker sphere with a transform of
// its own under its object's.
void BM_PickAmongMarkers(benchmark::State& state) {
    PickWorld world;
    world.AddMarkerObjects(static_cast<int>(state.range(0)));
    RunPicks(state, world);
}
BENCHMARK(BM_PickAmongMarkers)->Arg(1250)->Arg(2500)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMicrosecond);

// A frame whose mouse ray did not move: the selection system's whole update.
void BM_StillRay(benchmark::State& state) {
    PickWorld world;
    world.AddModelObjects(1000);
    const Ray ray = NextRay(1);
    ::Broadcast(kMsgMouseRay, 0, ray);
    world.selection->Update(0.0f);
    for (auto _ : state) {
        ::Broadcast(kMsgMouseRay, 0, ray);
        world.selection->Update(0.0f);
    }
}
BENCHMARK(BM_StillRay)->Unit(benchmark::kNanosecond);

// The editor's look at every object of a loaded 5,000-object scene: one
// marker proxy each.
void BM_ProxiesOf5000Objects(benchmark::State& state) {
    PickWorld world;
    const std::string path = world.SceneFile(5000);
    SceneManager& scene = *SceneManager::Instance();
    for (auto _ : state) {
        state.PauseTiming();
        scene.LoadScene(path);
        world.proxies->ClearProxies();
        world.Tidy();
        state.ResumeTiming();
        world.editor->OnSceneLoaded();
        state.PauseTiming();
        if (world.proxies->GetProxies().size() != 5000) state.SkipWithError("a proxy is missing");
        scene.ClearScene();
        world.Tidy();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ProxiesOf5000Objects)->Unit(benchmark::kMillisecond);

// A pick on a loaded 1,000-object scene after that many reloads.
void BM_PickAfterReloads(benchmark::State& state) {
    PickWorld world;
    const std::string path = world.SceneFile(1000);
    SceneManager& scene = *SceneManager::Instance();
    for (int n = 0; n <= state.range(0); ++n) {
        scene.LoadScene(path);
        world.Tidy();
    }
    int i = 0;
    u32 proxy = 0;
    for (auto _ : state) benchmark::DoNotOptimize(world.selection->PickProxy(NextRay(i++), &proxy));
    state.counters["ids"] = static_cast<double>(world.selection->ProxyCount());
}
BENCHMARK(BM_PickAfterReloads)->Arg(0)->Arg(20)->Unit(benchmark::kMicrosecond);

// One frame's draw walk of 5,000 marker proxies (each submitted to the renderer).
void BM_DrawWalkOf5000Proxies(benchmark::State& state) {
    PickWorld world;
    const std::string path = world.SceneFile(5000);
    SceneManager::Instance()->LoadScene(path);
    GraphicsSystem* graphics = Engine::Instance()->GetSystem<GraphicsSystem>();
    for (auto _ : state) {
        world.proxies->Update(0.0f);
        state.PauseTiming();
        graphics->GetLists().EndDebugFrame();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DrawWalkOf5000Proxies)->Unit(benchmark::kMillisecond);
}  // namespace
