// PathFollowCamera: rides behind its owner object (50 units back along the
// owner's forward, 3 on a frame given no time) and looks one local unit ahead
// of it. Ignores pan, rotate and position messages; keeps the client
// rectangle and the overlay object id it is told about. Owned by its object;
// main thread only.
#pragma once
#include "port/window/WindowEvent.h"
#include "render/camera/Camera.h"

class PathFollowCamera : public Component<PathFollowCamera, Camera> {
public:
    static void Reflect(MemberList<PathFollowCamera>& members);

    // kMsgOverlayObject: overlay object id; kMsgFrameClientRect: client rectangle. Nothing else.
    void HandleMessage(Message* message) override;
    void Update(float dt) override;
    // Subscribes to kMsgOverlayObject and kMsgFrameClientRect only.
    void Init() override;
    // The owner's local point (0, 0, 1) in world space; without a Transform
    // the last computed point.
    D3DXVECTOR3 GetLookAt() override;

    u32 GetOverlayObject() const { return overlayObject_; }
    const ClientRect& GetClientRect() const { return clientRect_; }

private:
    ClientRect clientRect_;
    float velocity_ = 0.0f;           // reflected, data only
    float acceleration_ = 0.0f;       // reflected, data only
    float lookAheadDistance_ = 0.1f;  // reflected, data only
    u32 overlayObject_ = 0;
    D3DXVECTOR3 keptForward_{0, 0, 0};  // owner's forward at the last update with time
};
