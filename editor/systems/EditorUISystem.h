// The editor's status lines and clipboard. A child system of the Editor, made
// in its Init and deleted with it; inactive until the Editor activates it.
// For now it only keeps the id of the object the Editor shows as selected.
// Main thread only.
#pragma once
#include "core/Types.h"
#include "engine/SceneSystem.h"

class EditorUISystem : public SceneSystem {
public:
    EditorUISystem();

    void OnSceneLoaded() override {}
    void OnSceneCleared() override {}
    void OnObjectAdded(u32, bool) override {}

    // Written by the Editor whenever its selection changes (0: none).
    void SetCurrentObject(u32 objectId) { currentObject_ = objectId; }
    u32 GetCurrentObject() const { return currentObject_; }

private:
    u32 currentObject_ = 0;
};
