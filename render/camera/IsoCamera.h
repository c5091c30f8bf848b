// IsoCamera: the level editor's isometric camera. It looks down at the fixed
// isometric elevation; pan messages move it along its heading, rotate
// messages turn the heading about the vertical only, speed messages scale its
// velocity; every update tells the editor where it is. Owned by its object;
// main thread only.
#pragma once
#include "render/camera/Camera.h"

class IsoCamera : public Component<IsoCamera, Camera> {
public:
    static constexpr float kTiltAngle = -0.6154729f;  // radians about x: the isometric elevation

    // 19 pans, 20 turns the heading by the payload's yaw, 55 scales the
    // velocity; every other message is ignored.
    void HandleMessage(Message* message) override;
    void Update(float dt) override;
    void Init() override { InitEditorCamera(); }
    void Shutdown() override { ShutdownEditorCamera(); }
    // The owner's world position, else camPos.
    D3DXVECTOR3 GetPosition() override;
    D3DXVECTOR3 GetUp() override { return D3DXVECTOR3(0, 1, 0); }
    D3DXVECTOR3 GetLookAt() override;

    float GetVelocity() const { return velocity_; }
    const D3DXQUATERNION& GetHeading() const { return heading_; }

private:
    float velocity_ = 1.0f;
    D3DXQUATERNION tilt_{0, 0, 0, 1};     // recomputed by GetLookAt
    D3DXQUATERNION heading_{0, 0, 0, 1};  // yaw only
    float tiltAngle_ = kTiltAngle;
};
