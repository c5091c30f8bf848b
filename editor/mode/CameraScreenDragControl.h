// Turns the active camera while the right mouse button drags: vertical motion
// tilts it about its side axis, horizontal motion turns it about its up axis,
// kSensitivity radians a pixel (kMsgCameraRotate to the camera component).
// Normal category; starts on a right-button drag, stops when the button is
// up. Owned by the GuiSystem; main thread only.
#pragma once
#include "controls/Control.h"

class CameraScreenDragControl : public Control {
public:
    static constexpr float kSensitivity = 0.01f;  // radians per pixel

    // sender: the id the rotation goes out with (the Editor's).
    explicit CameraScreenDragControl(u32 sender);

    void OnMessage(Message* message) override;
    void OnActivate() override;
    void UpdateActive(float dt) override;

private:
    u32 sender_;
    u32 cameraId_ = 0;  // the renderer's active camera component
    int lastX_ = 0;
    int lastY_ = 0;
};
