#include "render/IsoCamera.h"

#include <cmath>

#include "engine/Transform.h"

void IsoCamera::HandleMessage(Message* message) {
    if (!message->payload || message->argument != 0) return;
    Transform* transform = OwnerTransform();
    if (message->type == kMsgCameraSpeed.type) {
        velocity_ *= *message->PayloadAs<float>();
    } else if (message->type == kMsgCameraPan.type) {
        const D3DXVECTOR3 step = *message->PayloadAs<D3DXVECTOR3>() * velocity_;
        if (transform) {
            transform->position = transform->worldPosition + RotateByInverse(transform->GetWorldRotation(), step);
            transform->Update(0.0f);
            camPos = transform->worldPosition;
        } else {
            camPos += RotateByInverse(heading_, step);
        }
    } else if (message->type == kMsgCameraRotate.type) {
        const D3DXQUATERNION& q = *message->PayloadAs<D3DXQUATERNION>();
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
