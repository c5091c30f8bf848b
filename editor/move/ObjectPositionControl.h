// Drags the editor's selection with the left mouse button: over the
// horizontal plane at its height, or with Ctrl held up and down (y axis
// enabled) or over the plane facing the camera; in rotate mode the mouse
// motion turns it instead. One undo record a drag, taken when it starts. A
// grid drawn under the object while dragging shows the plane. Capturing;
// starts on a drag that begins on the selection, ends when the button is up.
// Owns its grid object; owned by the GuiSystem; main thread only.
#pragma once
#include "editor/move/ObjectManipulatorBase.h"
#include "engine/Ray.h"

class ObjectPositionControl : public ObjectManipulatorBase {
public:
    ObjectPositionControl();
    // Unregisters the grid object.
    ~ObjectPositionControl() override;

    // kMsgMouseRay and kMsgActiveCamera, then the base's.
    void OnMessage(Message* message) override;
    void OnActivate() override;
    void UpdateActive(float dt) override;

    u32 GetGridObject() const { return gridObject_; }

private:
    Ray ray_{};
    u32 cameraId_ = 0;  // the renderer's active camera component
    u32 gridObject_ = 0;
    int lastX_ = 0;
    int lastY_ = 0;
};
