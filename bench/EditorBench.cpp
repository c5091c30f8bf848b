// The editor's panels and its entry into edit mode, on the start-up
// assembly over a temporary asset root: the "Selected" bar for an object of
// ten components, "SceneComponents" with 100 lights, and entering edit mode
// on a scene of 5,000 objects against loading the same scene without the
// editor.
#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <string>

#include "app/Assembly.h"
#include "editor/systems/Editor.h"
#include "editor/systems/EditorMenuSystem.h"
#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/Graveyard.h"
#include "engine/MessageHub.h"
#include "scene/ObjectFactory.h"
#include "scene/SceneManager.h"
#include "tests/app/TempAssetRoot.h"

namespace {
constexpr int kSceneObjects = 5000;

struct EditorWorld {
    EditorWorld() {
        std::filesystem::create_directory(root.Dir() + "/scene");
        if (!assembly.Assemble()) throw std::runtime_error("assembly failed");
        editor = Engine::Instance()->GetSystem<Editor>();
        editor->Init();
        menu = editor->GetMenuSystem();
    }
    ~EditorWorld() { assembly.Disassemble(); }
    void Tidy() {
        MessageHub::Instance()->DispatchQueued();
        Graveyard::Instance()->Collect(1000.0f);
    }
    std::string SceneFile() {
        const std::string path = root.Dir() + "/scene/Big.scn";
        std::ofstream out(path);
        out << "Archetypes = {\n\t\"\",\n}\n\nInstances = {\n";
        for (int i = 0; i < kSceneObjects; ++i)
            out << "\t{SceneGUID = " << 1000 + i << ", Transform = { position = { x = " << i
                << ", y = 0, z = 0, }, }, PointLight = { mRange = 4, }, },\n";
        out << "}\n\nParentChild = {\n}\n\nSplineCrawlers = {\n}\n";
        return path;
    }

    TempAssetRoot root{TempAssetRoot::Contents::StartupFileOnly};
    Assembly assembly;
    Editor* editor = nullptr;
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
