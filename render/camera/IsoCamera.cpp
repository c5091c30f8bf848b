#include "render/camera/IsoCamera.h"

#include <cmath>

#include "engine/Transform.h"

void IsoCamera::HandleMessage(Message* message) {
    Transform* transform = OwnerTransform();
    if (const float* factor = message->Read(kMsgCameraSpeed)) {
        velocity_ = ScaledPanSpeed(velocity_, *factor);
    } else if (const D3DXVECTOR3* pan = message->Read(kMsgCameraPan)) {
        const D3DXVECTOR3 step = *pan * velocity_;
        if (transform) {
            transform->position = transform->worldPosition + RotateByInverse(transform->GetWorldRotation(), step);
            transform->Update(0.0f);
            camPos = transform->worldPosition;
        } else {
            camPos += RotateByInverse(heading_, step);
        }
    } else if (const D3DXQUATERNION* rotation = message->Read(kMsgCameraRotate)) {
        const D3DXQUATERNION& q = *rotation;
        const float yaw = std::atan2(2.0f * (q.w * q.y - q.x * q.z), 1.0f - 2.0f * (q.y * q.y + q.z * q.z));
        const D3DXVECTOR3 up(0, 1, 0);
        D3DXQUATERNION turn;
        D3DXQuaternionRotationAxis(&turn, &up, yaw);
        D3DXQuaternionMultiply(&heading_, &turn, &heading_);
        D3DXQuaternionNormalize(&heading_, &heading_);
        if (transform) {
            transform->SetRotation(heading_);
            transform->Update(0.0f);
        }
    }
}

void IsoCamera::Update(float) {
    ReportToEditor("Isometric Camera");
}

D3DXVECTOR3 IsoCamera::GetPosition() {
    Transform* transform = OwnerTransform();
    return transform ? transform->worldPosition : camPos;
}

D3DXVECTOR3 IsoCamera::GetLookAt() {
    const D3DXVECTOR3 xAxis(1, 0, 0);
    D3DXQuaternionRotationAxis(&tilt_, &xAxis, tiltAngle_);
    D3DXQUATERNION q;
    if (Transform* transform = OwnerTransform()) {
        const D3DXQUATERNION world = transform->GetWorldRotation();
        D3DXQuaternionMultiply(&q, &world, &tilt_);
        return transform->worldPosition + RotateByInverse(q, localForward);
    }
    D3DXQuaternionMultiply(&q, &heading_, &tilt_);
    return camPos + RotateByInverse(q, localForward);
}
