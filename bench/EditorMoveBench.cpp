// The editor's move history and object movers on the start-up assembly in
// edit mode: 100,000 move records pushed, undone and redone; one keyboard
// step (with its undo record) in scenes of 1,000 and 10,000 objects; a
// multi-clone row of 500 copies made in one frame.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "app/Assembly.h"
#include "controls/GuiSystem.h"
#include "core/IdCounter.h"
#include "editor/controls/KeyboardMoveObject.h"
#include "editor/controls/MultiCloneControl.h"
#include "editor/systems/Editor.h"
#include "editor/systems/EditorControlState.h"
#include "editor/systems/EditorMoveUndoSystem.h"
#include "editor/systems/EditorProxySystem.h"
#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/Graveyard.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Transform.h"
#include "render/Model.h"
#include "scene/ObjectFactory.h"
#include "scene/SceneManager.h"
#include "tests/app/TempAssetRoot.h"

namespace {
static_assert(sizeof(MoveRecord) <= 32, "a move record stays small");

struct MoveWorld {
    MoveWorld() {
        if (!assembly.Assemble()) throw std::runtime_error("assembly failed");
        while (IdCounter::Instance()->Peek() <= highWater) IdCounter::Instance()->Draw();
        editor = Engine::Instance()->GetSystem<Editor>();
        editor->Init();
        editor->SetActive(true);
        editor->Activate();
        gui = Engine::Instance()->GetSystem<GuiSystem>();
    }
    ~MoveWorld() {
        highWater = IdCounter::Instance()->Peek();
        assembly.Disassemble();
    }
    // n scene objects with a Transform and a model, each with its proxy; the
    // first one's id.
    u32 AddObjects(int n) {
        ObjectFactory& factory = *ObjectFactory::Instance();
        u32 first = 0;
        for (int i = 0; i < n; ++i) {
            GameObject* object = factory.NewGameObject();
            Transform* transform = factory.Create<Transform>();
            transform->position = D3DXVECTOR3(static_cast<float>(i % 100), 0, static_cast<float>(i / 100));
            object->AddComponent(transform);
            auto* model = factory.Create<Model>();
            model->extent = {0.5f, 0.5f, 0.5f};
            object->AddComponent(model);
            SceneManager::Instance()->GetObjectIds().push_back(object->GetId());
            editor->GetProxySystem()->CreateProxy(*object);
            if (first == 0) first = object->GetId();
        }
        return first;
    }

    static inline u32 highWater = 0;
    TempAssetRoot root{TempAssetRoot::Contents::StartupFileOnly};
    Assembly assembly;
    Editor* editor = nullptr;
    GuiSystem* gui = nullptr;
};

void BM_MoveRecordsPushedUndoneRedone(benchmark::State& state) {
    MoveWorld world;
    const u32 first = world.AddObjects(100);
    EditorMoveUndoSystem* undo = world.editor->GetUndoSystem();
    constexpr int kRecords = 100000;
    for (auto _ : state) {
        for (int i = 0; i < kRecords; ++i)
            undo->Record(MoveRecord{first + static_cast<u32>(i % 100) * 3, static_cast<float>(i), 0, 0});
        for (int i = 0; i < kRecords; ++i) undo->Undo();
        for (int i = 0; i < kRecords; ++i) undo->Redo();
    }
    state.SetItemsProcessed(state.iterations() * 3 * kRecords);
    state.counters["record_bytes"] = sizeof(MoveRecord);
}
BENCHMARK(BM_MoveRecordsPushedUndoneRedone)->Unit(benchmark::kMillisecond);

void BM_KeyboardStepInScene(benchmark::State& state) {
    MoveWorld world;
    const u32 first = world.AddObjects(static_cast<int>(state.range(0)));
    auto* mover = new KeyboardMoveObject({0, 1, 0}, 1);
    world.gui->AddControl(mover);
    EditorControlState settings;
    settings.axisLocks = {1, 1, 1};
    settings.selectedObject = first;
    ::Broadcast(kMsgEditorSettings, 0, settings);
    for (auto _ : state) benchmark::DoNotOptimize(mover->Step());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_KeyboardStepInScene)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_MultiCloneRowOf500(benchmark::State& state) {
    MoveWorld world;
    const u32 source = world.AddObjects(1);
    auto* clone = new MultiCloneControl();
    world.gui->AddControl(clone);
    ::Broadcast(kMsgSelectedObject, 0, source);
    clone->OnActivate();
    for (auto _ : state) {
        clone->Reach({0, 0, 1000.0f});
        state.PauseTiming();
        if (clone->GetCopies().size() != MultiCloneControl::kMaxCopies) state.SkipWithError("row not made");
        clone->Reach({0, 0, 0});
        MessageHub::Instance()->DispatchQueued();
        Graveyard::Instance()->Collect(1000.0f);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MultiCloneRowOf500)->Unit(benchmark::kMillisecond);
}  // namespace
