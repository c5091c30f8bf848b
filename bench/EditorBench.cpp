// The editor's panels and its entry into edit mode, on the start-up
// assembly over a temporary asset root: the "Selected" bar for an object of
// ten components, "SceneComponents" with 100 lights, and entering edit mode
// on a scene of 5,000 objects against loading the same scene without the
// editor.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/EditorBenchWorld.h"
#include "editor/menus/EditorMenuSystem.h"
#include "editor/mode/Editor.h"
#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "scene/ObjectFactory.h"
#include "scene/SceneManager.h"

namespace {
constexpr int kSceneObjects = 5000;

// Not in edit mode until a benchmark switches it on; scene objects stand in
// one row along x.
struct EditorWorld : EditorBenchWorld {
    EditorWorld() : EditorBenchWorld(false) { menu = editor->GetMenuSystem(); }
    std::string SceneFile() { return EditorBenchWorld::SceneFile("Big", kSceneObjects, {kSceneObjects, 0.0f, 0.0f}); }
    EditorMenuSystem* menu = nullptr;
};

void BM_SelectedBarOfTenComponents(benchmark::State& state) {
    EditorWorld world;
    world.editor->SetActive(true);
    world.editor->Activate();
    ObjectFactory& factory = *ObjectFactory::Instance();
    GameObject* object = factory.NewGameObject();
    for (const char* name : {"Transform", "PointLight", "GlobalLighting", "Model", "Camera", "ScreenText",
                             "FreeRoamCamera", "IsoCamera", "PathFollowCamera", "LoopedSound"})
        object->AddComponent(factory.GetPrototype(name)->Clone());
    for (auto _ : state) world.menu->ShowSelected(object->GetId());
}
BENCHMARK(BM_SelectedBarOfTenComponents)->Unit(benchmark::kMillisecond);

void BM_SceneComponentsOfHundredLights(benchmark::State& state) {
    EditorWorld world;
    world.editor->SetActive(true);
    world.editor->Activate();
    ObjectFactory& factory = *ObjectFactory::Instance();
    for (int i = 0; i < 100; ++i) {
        GameObject* light = factory.NewGameObject();
        light->AddComponent(factory.GetPrototype("GlobalLighting")->Clone());
        world.menu->AddSceneComponent(*light);
    }
    for (auto _ : state) world.menu->RebuildSceneComponents();
}
BENCHMARK(BM_SceneComponentsOfHundredLights)->Unit(benchmark::kMillisecond);

// The scene loaded with no owner: what loading costs without the editor.
void BM_PlainLoadOf5000Objects(benchmark::State& state) {
    EditorWorld world;
    const std::string path = world.SceneFile();
    SceneManager& scene = *SceneManager::Instance();
    for (auto _ : state) {
        if (!scene.LoadScene(path)) state.SkipWithError("load failed");
        state.PauseTiming();
        scene.ClearScene();
        world.Tidy();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PlainLoadOf5000Objects)->Unit(benchmark::kMillisecond);

// Activate with that scene named: switches, bindings, bars, the reload and
// the editor's look at every loaded object.
void BM_EnterEditModeOn5000Objects(benchmark::State& state) {
    EditorWorld world;
    const std::string path = world.SceneFile();
    SceneManager& scene = *SceneManager::Instance();
    for (auto _ : state) {
        state.PauseTiming();
        scene.LoadScene(path);
        world.editor->SetActive(true);
        state.ResumeTiming();
        world.editor->Activate();
        state.PauseTiming();
        if (scene.GetObjectIds().size() != kSceneObjects) state.SkipWithError("reload failed");
        world.editor->Deactivate();
        scene.ClearScene();
        world.Tidy();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EnterEditModeOn5000Objects)->Unit(benchmark::kMillisecond);
}  // namespace
