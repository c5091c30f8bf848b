#include "render/camera/ChaseView.h"

#include <cmath>

#include "engine/GameObject.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "render/camera/GameCamera.h"

namespace {

// The object's Transform with fresh world values, or null.
Transform* Fresh(u32 objectId) {
    Transform* transform = Overlord::FindComponent<Transform>(objectId);
    if (transform) transform->Update(0.0f);
    return transform;
}

}  // namespace

void ChaseView::SetChaseCamera(u32 objectId) {
    chaseCameraObject_ = objectId;
    GameCamera* gameCamera = Overlord::FindComponent<GameCamera>(objectId);
    targetOffset_ = gameCamera ? gameCamera->GetTargetOffset() : 0;
}

void ChaseView::Clear() {
    chaseCameraObject_ = 0;
    chaseTarget_ = 0;
    targetOffset_ = 0;
}

Transform* ChaseView::ChaseCameraTransform() const {
    return Overlord::FindComponent<Transform>(chaseCameraObject_);
}

Transform* ChaseView::OverlayTransform() const {
    return Overlord::FindComponent<Transform>(overlayObject_);
}

void ChaseView::HideOverlay() const {
    if (Transform* overlay = OverlayTransform()) overlay->SetPosition(0.0f, 0.0f, -20000.0f);
}

bool ChaseView::ComputeView(D3DXMATRIX& view) {
    Transform* camera = Fresh(chaseCameraObject_);
    Transform* target = Fresh(chaseTarget_);
    if (!camera || !target) return false;
    const D3DXVECTOR3 eye = camera->worldPosition;
    const D3DXVECTOR3 aim = target->worldPosition;
    D3DXVECTOR3 up(0, 1, 0);
    Overlord& overlord = Overlord::Get();
    GameObject* targetObject = overlord.GetGameObject(chaseTarget_);
    if (Transform* parent = targetObject ? Fresh(targetObject->GetParent()) : nullptr) {
        const D3DXVECTOR3 toParent = parent->worldPosition - aim;
        D3DXVec3Normalize(&up, &toParent);
    }
    if (!heightKnown_) {
        chaseHeight_ = std::fabs(eye.y - aim.y);
        heightKnown_ = true;
    }
    const D3DXVECTOR3 at = aim + up * (static_cast<float>(targetOffset_) + chaseHeight_);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    return true;
}
