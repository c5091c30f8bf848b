#include "render/camera/PathFollowCamera.h"

#include "engine/Transform.h"

namespace {

constexpr float kTrailDistance = 50.0f;  // behind the owner on frames with time
constexpr float kNoTimeDistance = 3.0f;  // on frames given no time

}  // namespace

void PathFollowCamera::Reflect(MemberList<PathFollowCamera>& members) {
    members.Add("velocity", &PathFollowCamera::velocity_);
    members.Add("acceleration", &PathFollowCamera::acceleration_);
    members.Add("lookAheadDistance", &PathFollowCamera::lookAheadDistance_);
}

void PathFollowCamera::Init() {
    Subscribe(kMsgOverlayObject);
    Subscribe(kMsgFrameClientRect);
}

void PathFollowCamera::HandleMessage(Message* message) {
    if (const u32* overlay = message->Read(kMsgOverlayObject))
        overlayObject_ = *overlay;
    else if (const ClientRect* rect = message->Read(kMsgFrameClientRect))
        clientRect_ = *rect;
}

void PathFollowCamera::Update(float dt) {
    Transform* transform = OwnerTransform();
    if (!transform) {
        camPos = D3DXVECTOR3(0, 0, 0);
        return;
    }
    transform->Update(0.0f);
    if (dt > 0.0f) {
        D3DXMATRIX rotation;
        const D3DXQUATERNION worldRotation = transform->GetWorldRotation();
        D3DXMatrixRotationQuaternion(&rotation, &worldRotation);
        const D3DXVECTOR3 ahead(0, 0, 1);
        D3DXVec3TransformNormal(&keptForward_, &ahead, &rotation);
        D3DXVec3Normalize(&keptForward_, &keptForward_);
        camPos = transform->worldPosition - keptForward_ * kTrailDistance;
    } else {
        camPos = transform->worldPosition - keptForward_ * kNoTimeDistance;
    }
}

D3DXVECTOR3 PathFollowCamera::GetLookAt() {
    Transform* transform = OwnerTransform();
    if (!transform) return lookAtCache;
    transform->Update(0.0f);
    const D3DXMATRIX world = transform->GetWorldMatrix();
    D3DXVec3TransformCoord(&lookAtCache, &localForward, &world);
    return lookAtCache;
}
