#include "render/camera/FreeRoamCamera.h"

#include "engine/Transform.h"

void FreeRoamCamera::Reflect(MemberList<FreeRoamCamera>& members) {
    members.Add("velocity", &FreeRoamCamera::velocity_);
}

void FreeRoamCamera::HandleMessage(Message* message) {
    const u32 type = message->type;
    if (type == kMsgCameraSpeed.type) {
        if (const float* factor = message->Read(kMsgCameraSpeed)) velocity_ = ScaledPanSpeed(velocity_, *factor);
        return;
    }
    Transform* transform = OwnerTransform();
    if (!transform || (type != kMsgCameraPan.type && type != kMsgCameraRotate.type)) {
        Camera::HandleMessage(message);
        return;
    }
    if (const D3DXVECTOR3* pan = message->Read(kMsgCameraPan)) {
        const D3DXVECTOR3 step = *pan * velocity_;
        const D3DXVECTOR3 target = transform->worldPosition + RotateByInverse(transform->GetWorldRotation(), step);
        transform->SetPosition(target.x, target.y, target.z);
    } else if (const D3DXQUATERNION* rotation = message->Read(kMsgCameraRotate)) {
        D3DXQUATERNION turned;
        const D3DXQUATERNION world = transform->GetWorldRotation();
        D3DXQuaternionMultiply(&turned, rotation, &world);
        D3DXQuaternionNormalize(&turned, &turned);
        transform->SetRotation(turned);
    } else {
        return;
    }
    lookAtCache = transform->worldPosition + RotateByInverse(transform->GetWorldRotation(), localForward);
}

void FreeRoamCamera::Update(float) {
    ReportToEditor("Free-Roam Camera");
}

D3DXVECTOR3 FreeRoamCamera::GetPosition() {
    Transform* transform = OwnerTransform();
    return transform ? transform->worldPosition : D3DXVECTOR3(0, 0, 0);
}

D3DXVECTOR3 FreeRoamCamera::GetUp() {
    Transform* transform = OwnerTransform();
    return transform ? RotateByInverse(transform->GetWorldRotation(), localUp) : localUp;
}

D3DXVECTOR3 FreeRoamCamera::GetLookAt() {
    Transform* transform = OwnerTransform();
    if (!transform) return localForward;
    return transform->worldPosition + RotateByInverse(transform->GetWorldRotation(), localForward);
}
