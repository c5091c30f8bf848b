// The control that fires toward the mouse: while active it turns the pointer
// into a pick ray through the camera's view and projection (the GuiSystem's
// copies), aims at the point 200 units along it and sends kMsgFire with a ray
// from its target object toward that point to the target object. GameLogic
// builds two (left button: fire at the ship; right button: shield, no
// target), gives them their triggers and mirrors its pause into the suppress
// flag. Owned by the GuiSystem once handed over. Main thread only.
#pragma once
#include "controls/Control.h"
#include "port/math/D3DXVector.h"

class GuiSystem;

class MouseFireControl : public Control {
public:
    // Distance of the aim point along the pick ray.
    static constexpr float kAimDistance = 200.0f;

    // gui: the GuiSystem that will own the control and holds the camera
    // matrices and the screen rectangle (it outlives the control).
    explicit MouseFireControl(GuiSystem* gui);

    // Messages reach neither triggers nor actions.
    void HandleMessage(Message* message) override;
    // Fires once a frame while active, unless suppressed or without a target
    // object with a Transform.
    void UpdateActive(float dt) override;

    u32 GetTargetObject() const { return targetObject_; }
    void SetTargetObject(u32 objectId) { targetObject_ = objectId; }
    bool IsSuppressed() const { return suppressed_; }
    void SetSuppressed(bool suppressed) { suppressed_ = suppressed; }
    // The last pick ray: the eye and the unit direction under the pointer.
    const D3DXVECTOR3& GetPickOrigin() const { return pickOrigin_; }
    const D3DXVECTOR3& GetPickDirection() const { return pickDirection_; }

private:
    // Pick origin and direction for the pointer at (x, y) client pixels;
    // false when the screen or the camera matrices give no ray.
    bool Pick(float x, float y);

    u32 targetObject_ = 0;
    GuiSystem* gui_;
    D3DXVECTOR3 pickDirection_{0.0f, 0.0f, 0.0f};
    D3DXVECTOR3 pickOrigin_{0.0f, 0.0f, 0.0f};
    bool suppressed_ = false;
};
