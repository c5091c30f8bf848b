// An engine system that can own the current scene (the game's logic in play,
// the level editor when editing). The scene manager calls these on the owner.
// Main thread only.
#pragma once
#include "engine/ISystem.h"

class SceneSystem : public ISystem {
public:
    using ISystem::ISystem;

    virtual void OnSceneLoaded() = 0;
    virtual void OnSceneCleared() = 0;
    // objectId: an object just added to the scene.
    virtual void OnObjectAdded(u32 objectId, bool flag) = 0;
};
