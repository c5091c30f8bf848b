// The editor's proxies and picking on the start-up assembly in edit mode: a
// pick among 100 to 10,000 proxies, a still ray, the proxies of a 5,000-object
// scene, a pick after 20 reloads of a 1,000-object scene against the first,
// and one frame's draw walk over 5,000 proxies.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/Assembly.h"
#include "core/IdCounter.h"
#include "editor/systems/Editor.h"
#include "editor/systems/EditorProxySystem.h"
#include "editor/systems/ObjectSelectionSystem.h"
#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/Graveyard.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Transform.h"
#include "render/GraphicsSystem.h"
#include "render/Model.h"
#include "scene/ObjectFactory.h"
#include "scene/SceneManager.h"
#include "tests/app/TempAssetRoot.h"

namespace {
struct PickWorld {
    PickWorld() {
        std::filesystem::create_directory(root.Dir() + "/scene");
        if (!assembly.Assemble()) throw std::runtime_error("assembly failed");
        // Each run assembles anew and counts ids from 1, while the type ids of
        // earlier runs stay: start past every id drawn so far.
        while (IdCounter::Instance()->Peek() <= highWater) IdCounter::Instance()->Draw();
        editor = Engine::Instance()->GetSystem<Editor>();
        editor->Init();
        editor->SetActive(true);
        editor->Activate();
        proxies = editor->GetProxySystem();
        selection = editor->GetSelectionSystem();
    }
    ~PickWorld() {
        highWater = IdCounter::Instance()->Peek();
        assembly.Disassemble();
    }
    void Tidy() {
        MessageHub::Instance()->DispatchQueued();
        Graveyard::Instance()->Collect(1000.0f);
    }
    // n scene objects with a model of half-size 0.5, on a 100-wide grid in
    // front of the eye (z from 5), each with its proxy.
    void AddModelObjects(int n) {
        ObjectFactory& factory = *ObjectFactory::Instance();
        for (int i = 0; i < n; ++i) {
            GameObject* object = factory.NewGameObject();
            Transform* transform = factory.Create<Transform>();
            transform->position = D3DXVECTOR3(static_cast<float>(i % 100) - 50.0f, 0, 5.0f + i / 100);
            transform->worldPosition = transform->position;
            object->AddComponent(transform);
            auto* model = factory.Create<Model>();
            model->extent = D3DXVECTOR3(0.5f, 0.5f, 0.5f);
            object->AddComponent(model);
            SceneManager::Instance()->GetObjectIds().push_back(object->GetId());
            proxies->CreateProxy(*object);
        }
    }
    // A scene file of n objects with a Transform and a PointLight each.
    std::string SceneFile(int n) {
        const std::string path = root.Dir() + "/scene/Picks.scn";
        std::ofstream out(path);
        out << "Archetypes = {\n\t\"\",\n}\n\nInstances = {\n";
        for (int i = 0; i < n; ++i)
            out << "\t{SceneGUID = " << 1000 + i << ", Transform = { position = { x = " << (i % 100) - 50
                << ", y = 0, z = " << 5 + i / 100 << ", }, }, PointLight = { mRange = 4, }, },\n";
        out << "}\n\nParentChild = {\n}\n\nSplineCrawlers = {\n}\n";
        return path;
    }

    static inline u32 highWater = 0;
    TempAssetRoot root{TempAssetRoot::Contents::StartupFileOnly};
    Assembly assembly;
    Editor* editor = nullptr;
    EditorProxySystem* proxies = nullptr;
    ObjectSelectionSystem* selection = nullptr;
};

// A ray toward the middle of the grid, turned a little each time.
Ray NextRay(int i) {
    return Ray{D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0.001f * static_cast<float>(i % 7), 0, 1)};
}

void BM_PickAmongProxies(benchmark::State& state) {
    PickWorld world;
    world.AddModelObjects(static_cast<int>(state.range(0)));
    int i = 0;
    u32 proxy = 0;
    for (auto _ : state) benchmark::DoNotOptimize(world.selection->PickProxy(NextRay(i++), &proxy));
}
BENCHMARK(BM_PickAmongProxies)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

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
