#include "editor/mode/CameraScreenDragControl.h"

#include "controls/MouseTrigger.h"
#include "engine/Engine.h"
#include "engine/Message.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "platform/InputSystem.h"
#include "render/camera/Camera.h"

namespace {
const InputSystem* Input() {
    Engine* engine = Engine::Instance();
    return engine ? engine->GetSystem<InputSystem>() : nullptr;
}
}  // namespace

CameraScreenDragControl::CameraScreenDragControl(u32 sender)
    : Control("CameraScreenDragControl", kCategoryNormal), sender_(sender) {
    AddActivateTrigger(new MouseTrigger(1, MouseTrigger::kModeDragged));
    AddDeactivateTrigger(new MouseTrigger(1, MouseTrigger::kModeUp));
    Subscribe(kMsgActiveCamera);
}

void CameraScreenDragControl::OnMessage(Message* message) {
    if (const u32* camera = message->Read(kMsgActiveCamera)) cameraId_ = *camera;
}

void CameraScreenDragControl::OnActivate() {
    if (const InputSystem* input = Input()) {
        lastX_ = input->MouseX();
        lastY_ = input->MouseY();
    }
}

void CameraScreenDragControl::UpdateActive(float) {
    const InputSystem* input = Input();
    if (!input) return;
    const int x = input->MouseX(), y = input->MouseY();
    if (x == lastX_ && y == lastY_) return;
    Overlord* overlord = Overlord::Instance();
    auto* camera = overlord ? dynamic_cast<Camera*>(overlord->GetComponentById(cameraId_)) : nullptr;
    if (camera) {
        const D3DXVECTOR3 up = camera->GetUp();
        D3DXQUATERNION rotation(0, 0, 0, 1);
        if (y != lastY_) {
            const D3DXVECTOR3 look = camera->GetLookAt() - camera->GetPosition();
            D3DXVECTOR3 side;
            D3DXVec3Cross(&side, &look, &up);
            D3DXVec3Normalize(&side, &side);
            D3DXQuaternionRotationAxis(&rotation, &side, static_cast<float>(y - lastY_) * kSensitivity);
        }
        if (x != lastX_) {
            D3DXQUATERNION turn;
            D3DXQuaternionRotationAxis(&turn, &up, static_cast<float>(lastX_ - x) * kSensitivity);
            D3DXQuaternionMultiply(&rotation, &rotation, &turn);
        }
        SendToComponent(kMsgCameraRotate, cameraId_, sender_, rotation);
    }
    lastX_ = x;
    lastY_ = y;
}
