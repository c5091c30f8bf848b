// The bound on the objects that spawners and weapons make during play: at
// most kPerFrame in one frame and kLive of them alive at once, and never
// past the scene's bound on all its objects (SceneObjectBudget). A level whose
// spawned objects spawn more (a spawner spawning spawners, a weapon firing
// its own archetype) then grows linearly at worst and stops at kLive.
// Process-wide counts: Physics, the first game system of a frame, starts
// each frame's count; GameLogic forgets every count at a scene clear (a new
// Overlord starts them afresh too). Main thread only.
#pragma once
#include <cstddef>

#include "core/Types.h"
#include "engine/LiveObjectBudget.h"

class Overlord;

class SpawnBudget {
public:
    static constexpr u32 kPerFrame = 1000;
    static constexpr std::size_t kLive = 10000;

    // Whether `who` (a class name) on object ownerId may make one more object
    // now; counted against this frame's budget when it may. The first refusal
    // of each kind (frame, live) until the next Reset logs one row.
    static bool Take(const char* who, u32 ownerId);
    // Files an object just made, counted against kLive while it is registered.
    static void Made(u32 objectId);
    // A new frame: its count starts at 0.
    static void StartFrame();
    // A scene clear: every count and report is forgotten.
    static void Reset();

    static u32 TakenThisFrame();
    static std::size_t Live();

private:
    struct State {
        const Overlord* overlord = nullptr;  // the registry the counts belong to
        u32 thisFrame = 0;
        LiveObjectBudget live{kLive};
        bool lookedThisFrame = false;  // whether gone ids were looked for this frame
        bool reportedFrame = false;
    };
    static State& Get();
};
