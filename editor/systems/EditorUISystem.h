// The editor's two status lines (the active camera's name, position and
// speed, or the object-manipulation mode) drawn in red near the middle of the
// screen's height, and the editor's object copy and paste: Ctrl+C remembers
// the selected object, Ctrl+V adds a clone of it where it is, Ctrl+T copies
// its rotation and scale onto the selection. A child system of the Editor,
// made in its Init and deleted with it; it owns its two text objects. Main
// thread only.
#pragma once
#include <string>

#include "core/Types.h"
#include "engine/SceneSystem.h"
#include "port/math/D3DX.h"

class EditorUISystem : public SceneSystem {
public:
    EditorUISystem();
    // Unregisters the two text objects.
    ~EditorUISystem() override;

    void HandleMessage(Message* message) override;
    // Both lines rebuilt and submitted for this frame.
    void Update(float dt) override;
    // Reads the client size and makes the two text objects.
    void Init() override;
    void Activate() override;
    void Deactivate() override;

    void OnSceneLoaded() override {}
    void OnSceneCleared() override {}
    void OnObjectAdded(u32, bool) override {}

    // Written by the Editor whenever its selection changes (0: none).
    void SetCurrentObject(u32 objectId) { currentObject_ = objectId; }
    u32 GetCurrentObject() const { return currentObject_; }
    u32 GetCopiedObject() const { return copiedObject_; }

    // A clone of the copied object (with the copied object's parent) in the
    // scene at the same place, with its proxy; its id, 0 when there is no
    // copied object.
    u32 PasteObject();
    // The copied object's rotation and scale onto the current object.
    void PasteTransform();

    // The two lines as the next Update draws them.
    std::string FirstLine() const;
    std::string SecondLine() const;
    u32 GetFirstTextObject() const { return firstText_; }
    u32 GetSecondTextObject() const { return secondText_; }

private:
    // Places the text objects for the client height.
    void PlaceTexts();

    u32 firstText_ = 0;
    u32 secondText_ = 0;
    D3DXVECTOR3 cameraPosition_{0, 0, 0};
    std::string cameraName_ = "Unknown";
    bool localBasis_ = false;
    bool rotating_ = false;
    bool objectMode_ = false;  // the object keys are on (else the camera's)
    float cameraSpeed_ = 1.0f;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    u32 copiedObject_ = 0;
    u32 currentObject_ = 0;
};
