// FreeRoamCamera: one of the level editor's cameras. Pan and rotate messages
// move and turn its owner object (or, without a Transform, the camera itself
// as a plain Camera); a speed message scales its velocity; every update tells
// the editor where it is. Owned by its object; main thread only.
#pragma once
#include "render/camera/Camera.h"

class FreeRoamCamera : public Component<FreeRoamCamera, Camera> {
public:
    static void Reflect(MemberList<FreeRoamCamera>& members);

    // 19 moves the owner by velocity x step turned by its world rotation; 20
    // turns the owner; 55 scales the velocity; the rest as Camera.
    void HandleMessage(Message* message) override;
    void Update(float dt) override;
    void Init() override { InitEditorCamera(); }
    void Shutdown() override { ShutdownEditorCamera(); }
    // The owner's world position ((0, 0, 0) without a Transform).
    D3DXVECTOR3 GetPosition() override;
    D3DXVECTOR3 GetUp() override;
    D3DXVECTOR3 GetLookAt() override;

    float GetVelocity() const { return velocity_; }

private:
    float velocity_ = 1.0f;  // reflected "velocity"
};
