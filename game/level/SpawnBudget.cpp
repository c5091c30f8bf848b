#include "game/level/SpawnBudget.h"

#include <string>

#include "engine/Logger.h"
#include "engine/Overlord.h"
#include "engine/SceneObjectBudget.h"

SpawnBudget::State& SpawnBudget::Get() {
    static State state;
    // Counts belong to one object registry: a new one (a new run of the
    // services) starts them afresh.
    const Overlord* overlord = Overlord::Instance();
    if (state.overlord != overlord) {
        state = State{};
        state.overlord = overlord;
    }
    return state;
}

bool SpawnBudget::Take(const char* who, u32 ownerId) {
    State& state = Get();
    if (state.thisFrame >= kPerFrame) {
        if (!state.reportedFrame)
            Log("Spawn budget: %s on object %u would make more than %u objects in one frame; the rest of each such "
                "frame's are left out",
                who, ownerId, kPerFrame);
        state.reportedFrame = true;
        return false;
    }
    // Gone ids are looked for once a frame at most: a full list costs one
    // walk a frame, not one per refusal.
    const bool mayLook = !state.lookedThisFrame;
    if (state.live.Full()) state.lookedThisFrame = true;
    if (!state.live.HasRoom(mayLook)) {
        if (state.live.FirstRefusal())
            Log("Spawn budget: %s on object %u would make more than %zu spawned objects live at once; none are made "
                "until some are gone",
                who, ownerId, kLive);
        return false;
    }
    // The scene's own bound on objects, asked here so that a maker refused
    // by it is not told its archetype failed.
    if (!SceneObjectBudget::Admit(1, std::string(who) + " on object " + std::to_string(ownerId))) return false;
    ++state.thisFrame;
    return true;
}

void SpawnBudget::Made(u32 objectId) {
    Get().live.Made(objectId);
}

void SpawnBudget::StartFrame() {
    State& state = Get();
    state.thisFrame = 0;
    state.lookedThisFrame = false;
}

void SpawnBudget::Reset() {
    State& state = Get();
    state = State{};
    state.overlord = Overlord::Instance();
}

u32 SpawnBudget::TakenThisFrame() {
    return Get().thisFrame;
}

std::size_t SpawnBudget::Live() {
    return Get().live.Live();
}
