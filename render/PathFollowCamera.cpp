#include "render/PathFollowCamera.h"

#include "core/TypeId.h"
#include "engine/Transform.h"
#include "reflection/MetaMemVar.h"

namespace {

constexpr float kTrailDistance = 50.0f;  // behind the owner on frames with time
constexpr float kNoTimeDistance = 3.0f;  // on frames given no time

}  // namespace

PathFollowCamera::PathFollowCamera() : Camera(TypeId<PathFollowCamera>::Get()) {
    static bool registered = false;
    if (registered) return;
    registered = true;
    using M = MetaMemVar<PathFollowCamera>;
    M::Add("velocity", this, velocity_);
    M::Add("acceleration", this, acceleration_);
    M::Add("lookAheadDistance", this, lookAheadDistance_);
}

PathFollowCamera::PathFollowCamera(const PathFollowCamera& other)
    : Camera(other),
      clientRect_(other.clientRect_),
      velocity_(other.velocity_),
      acceleration_(other.acceleration_),
      lookAheadDistance_(other.lookAheadDistance_),
      overlayObject_(other.overlayObject_),
      keptForward_(other.keptForward_) {}

void PathFollowCamera::Init() {
    SubscribeTo(kMsgOverlayObject.type, kMsgOverlayObject.argument);
    SubscribeTo(kMsgFrameClientRect.type, kMsgFrameClientRect.argument);
}

void PathFollowCamera::HandleMessage(Message* message) {
    if (!message->payload) return;
    if (message->type == kMsgOverlayObject.type && message->argument == kMsgOverlayObject.argument)
        overlayObject_ = *message->PayloadAs<u32>();
    else if (message->type == kMsgFrameClientRect.type && message->argument == kMsgFrameClientRect.argument)
        clientRect_ = *message->PayloadAs<ClientRect>();
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
