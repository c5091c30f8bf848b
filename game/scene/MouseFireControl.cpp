#include "game/scene/MouseFireControl.h"

#include "controls/GuiSystem.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Ray.h"
#include "engine/Transform.h"
#include "platform/InputSystem.h"
#include "port/math/D3DXMatrix.h"

MouseFireControl::MouseFireControl(GuiSystem* gui) : Control("MouseFireControl", kCategoryNormal), gui_(gui) {}

void MouseFireControl::HandleMessage(Message*) {}

bool MouseFireControl::Pick(float x, float y) {
    if (!gui_) return false;
    const D3DXMATRIX& projection = gui_->GetProjectionMatrix();
    const ClientRect& screen = gui_->GetScreenRect();
    const float width = static_cast<float>(screen.right), height = static_cast<float>(screen.bottom);
    // A minimised window or a camera without projection gives no ray.
    if (!(width > 0.0f) || !(height > 0.0f) || projection._11 == 0.0f || projection._22 == 0.0f) return false;
    const float vx = ((2.0f * x / width) - 1.0f) / projection._11;
    const float vy = -((2.0f * y / height) - 1.0f) / projection._22;
    const float vz = 1.0f;

    D3DXMATRIX eye;
    if (!D3DXMatrixInverse(&eye, nullptr, &gui_->GetViewMatrix())) return false;
    pickDirection_ = D3DXVECTOR3(vx * eye._11 + vy * eye._21 + vz * eye._31, vx * eye._12 + vy * eye._22 + vz * eye._32,
                                 vx * eye._13 + vy * eye._23 + vz * eye._33);
    pickOrigin_ = D3DXVECTOR3(eye._41, eye._42, eye._43);
    D3DXVec3Normalize(&pickDirection_, &pickDirection_);
    return true;
}

void MouseFireControl::UpdateActive(float) {
    if (suppressed_) return;
    const InputSystem* input = InputSystem::Instance();
    if (!input) return;
    Transform* transform = Overlord::FindComponent<Transform>(targetObject_);
    if (!transform) return;
    if (!Pick(static_cast<float>(input->MouseX()), static_cast<float>(input->MouseY()))) return;

    const D3DXVECTOR3 aim = pickOrigin_ + kAimDistance * pickDirection_;
    Ray ray;
    ray.origin = transform->worldPosition;
    const D3DXVECTOR3 toAim = aim - ray.origin;
    D3DXVec3Normalize(&ray.direction, &toAim);
    SendToObject(kMsgFire, targetObject_, gui_->GetTypeId(), ray);
}
