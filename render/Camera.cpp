#include "render/Camera.h"

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

void Camera::SubscribeTo(u32 type, u32 argument) {
    if (MessageHub* hub = MessageHub::Instance()) hub->SubscribeResolver(type, argument, GetId(), &ResolveComponent);
}

void Camera::UnsubscribeFrom(u32 type, u32 argument) {
    if (MessageHub* hub = MessageHub::Instance()) hub->Unsubscribe(type, argument, GetId());
}

void Camera::Init() {
    SubscribeTo(kMsgCameraSwitch.type, kMsgCameraSwitch.argument);
    SubscribeTo(kMsgCameraPosition.type, kMsgCameraPosition.argument);
    SubscribeTo(kMsgCameraLookAt.type, kMsgCameraLookAt.argument);
    SubscribeTo(kMsgOverlayObject.type, kMsgOverlayObject.argument);
}

void Camera::InitEditorCamera() {
    Camera::Init();
    SubscribeTo(kMsgCameraPan.type, kMsgCameraPan.argument);
    SubscribeTo(kMsgCameraRotate.type, kMsgCameraRotate.argument);
    SubscribeTo(kMsgCameraSpeed.type, kMsgCameraSpeed.argument);
    lookAtCache = D3DXVECTOR3(0, 0, 0);
}

void Camera::ShutdownEditorCamera() {
    UnsubscribeFrom(kMsgCameraPan.type, kMsgCameraPan.argument);
    UnsubscribeFrom(kMsgCameraRotate.type, kMsgCameraRotate.argument);
    UnsubscribeFrom(kMsgCameraSpeed.type, kMsgCameraSpeed.argument);
}

void Camera::ReportToEditor(const char* name) {
    const u32 editorUi = TypeId<EditorUISystem>::Get();
    SendToSystem(editorUi, GetId(), kMsgEditorCameraPosition.type, kMsgEditorCameraPosition.argument, GetPosition());
    SendStringToSystem(editorUi, GetId(), name);
}

Transform* Camera::OwnerTransform() const {
    return Overlord::FindComponent<Transform>(GetOwner());
}

void Camera::Update(float) {}

void Camera::Shutdown() {}

void Camera::HandleMessage(Message* message) {
    const void* payload = message->payload;
    switch (message->type) {
        case kMsgCameraSwitchOn.type:
            switchValue = 1;
            break;
        case kMsgCameraSwitchOff.type:
            switchValue = 0;
            break;
        case kMsgCameraPan.type:
            if (payload) Pan(*message->PayloadAs<D3DXVECTOR3>());
            return;
        case kMsgCameraRotate.type:
            if (payload) Rotate(*message->PayloadAs<D3DXQUATERNION>());
            return;
        case kMsgCameraSwitch.type:
            if (!payload) return;
            switchValue = *message->PayloadAs<u32>();
            break;
        case kMsgCameraLookAt.type:
            if (!payload) return;
            lookAt = *message->PayloadAs<D3DXVECTOR3>();
            break;
        case kMsgCameraPosition.type:
            if (!payload) return;
            camPos = *message->PayloadAs<D3DXVECTOR3>();
            break;
        default:
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
