// The editor's move history and object movers on the start-up assembly in
// edit mode: 100,000 move records pushed, undone and redone; one keyboard
// step (with its undo record) in scenes of 1,000 and 10,000 objects; a
// multi-clone row of 500 copies made in one frame.
#include <benchmark/benchmark.h>

#include "bench/EditorBenchWorld.h"
#include "controls/GuiSystem.h"
#include "editor/links/MultiCloneControl.h"
#include "editor/mode/Editor.h"
#include "editor/mode/EditorControlState.h"
#include "editor/move/EditorMoveUndoSystem.h"
#include "editor/move/KeyboardMoveObject.h"
#include "engine/Engine.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"

namespace {
static_assert(sizeof(MoveRecord) <= 32, "a move record stays small");

// Objects stand on a 100-wide grid from the origin.
struct MoveWorld : EditorBenchWorld {
    MoveWorld() : EditorBenchWorld(true) { gui = Engine::Instance()->GetSystem<GuiSystem>(); }
    u32 AddObjects(int n) { return AddModelObjects(n, {100, 0.0f, 0.0f}); }
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
        world.Tidy();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MultiCloneRowOf500)->Unit(benchmark::kMillisecond);
}  // namespace
