// The bound on the objects one scene holds: those its file makes, those made
// during play (spawners, weapons, archetypes added in the editor) and those a
// component makes for itself (the HUD's pictures and texts). Each counted
// object holds one place (GameObject::JoinScene), given back when it is
// unregistered; a scene clear starts the count afresh. Past the bound nothing
// more is made, and the scene's first refusal logs one row. Process-wide;
// main thread only.
#pragma once
#include <string>

#include "core/Types.h"
#include "engine/SceneBudget.h"

class SceneObjectBudget {
public:
    // Well above the levels (they load with at most 61) and the editor's
    // 5,000-object scenes; a file of a million bare objects, cut to these,
    // loads in under 500 MB.
    static constexpr u64 kMaxObjects = 100000;

    static SceneBudget& Budget() { return budget_; }
    // Whether `count` more objects fit now.
    static bool Fits(u64 count = 1) { return budget_.Fits(count); }
    // Fits; a refusal, the first of the scene, logs one row naming `who`
    // (what would have made them).
    static bool Admit(u64 count, const std::string& who);
    // A scene clear (or new services): nothing is counted, and the next
    // refusal is reported again.
    static void NewScene() { budget_.NewScene(); }
    static u64 InUse() { return budget_.InUse(); }
    // The number of the scene counted, new at every NewScene.
    static u64 Scene() { return budget_.Scene(); }

private:
    static inline SceneBudget budget_{kMaxObjects};
};
