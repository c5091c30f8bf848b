#include "game/level/SpawnBudget.h"

#include <algorithm>

#include "engine/Logger.h"
#include "engine/Overlord.h"

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

void SpawnBudget::Prune(State& state) {
    const Overlord* overlord = Overlord::Instance();
    std::erase_if(state.made, [&](u32 id) { return !overlord || !overlord->GetGameObject(id); });
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
    // Pruned once a frame at most: a full list costs one walk, not one per refusal.
    if (state.made.size() >= kLive && !state.prunedThisFrame) {
        Prune(state);
        state.prunedThisFrame = true;
    }
    if (state.made.size() >= kLive) {
        if (!state.reportedLive)
            Log("Spawn budget: %s on object %u would make more than %zu spawned objects live at once; none are made "
                "until some are gone",
                who, ownerId, kLive);
        state.reportedLive = true;
        return false;
    }
    ++state.thisFrame;
    return true;
}

void SpawnBudget::Made(u32 objectId) {
    if (objectId != 0) Get().made.push_back(objectId);
}

void SpawnBudget::StartFrame() {
    State& state = Get();
    state.thisFrame = 0;
    state.prunedThisFrame = false;
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
    State& state = Get();
    Prune(state);
    return state.made.size();
}
