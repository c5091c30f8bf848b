#include "render/camera/Camera.h"

#include <algorithm>
#include <cmath>

#include "engine/MessageHub.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"

class EditorUISystem;

void Camera::Reflect(MemberList<Camera>& members) {
    members.Add("camPos", &Camera::camPos);
    members.Add("distance", &Camera::distance);
    members.Add("elevation", &Camera::elevation);
    members.Add("FUZZY_CAMX", &Camera::fuzzyCamX);
    members.Add("FUZZY_CAMY", &Camera::fuzzyCamY);
    members.Add("FUZZY_CAMZ", &Camera::fuzzyCamZ);
}

Camera::Camera(u32 typeId) : Component(typeId) {
    forward = D3DXVECTOR3(0, 0, 1);
}

void Camera::Init() {
    Subscribe(kMsgCameraSwitch);
    Subscribe(kMsgCameraPosition);
    Subscribe(kMsgCameraLookAt);
    Subscribe(kMsgOverlayObject);
}

void Camera::InitEditorCamera() {
    Camera::Init();
    Subscribe(kMsgCameraPan);
    Subscribe(kMsgCameraRotate);
    Subscribe(kMsgCameraSpeed);
    lookAtCache = D3DXVECTOR3(0, 0, 0);
}

void Camera::ShutdownEditorCamera() {
    Unsubscribe(kMsgCameraPan);
    Unsubscribe(kMsgCameraRotate);
    Unsubscribe(kMsgCameraSpeed);
}

void Camera::ReportToEditor(const char* name) {
    const u32 editorUi = TypeId<EditorUISystem>::Get();
    SendToSystem(kMsgEditorCameraPosition, editorUi, GetId(), GetPosition());
    SendToSystem(kMsgEditorCameraName, editorUi, GetId(), std::string(name));
}

Transform* Camera::OwnerTransform() const {
    return Overlord::FindComponent<Transform>(GetOwner());
}

void Camera::Update(float) {}

void Camera::Shutdown() {}

float Camera::ScaledPanSpeed(float speed, float factor) {
    if (!std::isfinite(factor) || factor <= 0.0f) return speed;
    return std::clamp(speed * factor, kMinPanSpeed, kMaxPanSpeed);
}

void Camera::HandleMessage(Message* message) {
    // Switching on and off goes by the type alone.
    if (message->type == kMsgCameraSwitchOn.type) {
        switchValue = 1;
    } else if (message->type == kMsgCameraSwitchOff.type) {
        switchValue = 0;
    } else if (const D3DXVECTOR3* pan = message->Read(kMsgCameraPan)) {
        Pan(*pan);
        return;
    } else if (const D3DXQUATERNION* rotation = message->Read(kMsgCameraRotate)) {
        Rotate(*rotation);
        return;
    } else if (const u32* value = message->Read(kMsgCameraSwitch)) {
        switchValue = *value;
    } else if (const D3DXVECTOR3* point = message->Read(kMsgCameraLookAt)) {
        lookAt = *point;
    } else if (const D3DXVECTOR3* position = message->Read(kMsgCameraPosition)) {
        camPos = *position;
    } else {
        return;
    }
    Update(0.0f);
}

void Camera::Pan(const D3DXVECTOR3& v) {
    const D3DXVECTOR3 step = v * panSpeed;
    camPos += RotateByInverse(orientation, step);
    Update(0.0f);
    lastPanStep = step;
}

void Camera::Rotate(const D3DXQUATERNION& rotation) {
    D3DXQuaternionMultiply(&orientation, &rotation, &orientation);
    D3DXQuaternionNormalize(&orientation, &orientation);
    Update(0.0f);
}

D3DXVECTOR3 Camera::GetPosition() {
    return camPos;
}
D3DXVECTOR3 Camera::GetForward() {
    return forward;
}
D3DXVECTOR3 Camera::GetMoveDelta() {
    return lastPanStep;
}
D3DXVECTOR3 Camera::GetUp() {
    return up;
}
D3DXVECTOR3 Camera::GetLookAt() {
    return lookAt;
}
D3DXQUATERNION Camera::GetOrientation() {
    return orientation;
}

D3DXMATRIX Camera::BuildView() {
    const D3DXVECTOR3 eye = GetPosition(), at = GetLookAt(), upDir = GetUp();
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &at, &upDir);
    return view;
}
