#include "editor/move/ObjectMover.h"

#include "editor/proxy/EditorProxyObject.h"
#include "editor/proxy/WaypointProxyVisualization.h"
#include "engine/GameObject.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "game/track/PlayerPath.h"

ObjectMover ObjectMover::ForTarget(u32 target) {
    GameObject* object = Overlord::FindObject(target);
    if (!object) return ObjectMover(0);
    const auto* proxy = object->GetComponent<EditorProxyObject>();
    if (!proxy || object->GetComponent<WaypointProxyVisualization>()) return ObjectMover(target);
    return ObjectMover(Overlord::FindObject(proxy->proxiedObjectId) ? proxy->proxiedObjectId : 0);
}

ObjectMover::ObjectMover(u32 objectId)
    : objectId_(objectId), transform_(Overlord::FindComponent<Transform>(objectId)) {}

D3DXVECTOR3 ObjectMover::WorldPosition() const {
    transform_->Update(0.0f);
    return transform_->worldPosition;
}

MoveRecord ObjectMover::Where() const {
    const D3DXVECTOR3 p = WorldPosition();
    return MoveRecord{objectId_, p.x, p.y, p.z};
}

void ObjectMover::MoveTo(const D3DXVECTOR3& worldPosition) const {
    transform_->SetWorldPosition(worldPosition);
    transform_->Update(0.0f);
    KeepTrackInStep();
}

void ObjectMover::TurnTo(const D3DXQUATERNION& rotation) const {
    transform_->SetRotation(rotation);
    transform_->Update(0.0f);
    KeepTrackInStep();
}

void ObjectMover::KeepTrackInStep() const {
    GameObject* object = Overlord::FindObject(objectId_);
    if (!object) return;
    if (PlayerPath* path = object->GetComponent<PlayerPath>()) path->needsRebuild = true;
    const auto* link = object->GetComponent<WaypointProxyVisualization>();
    const auto* proxy = object->GetComponent<EditorProxyObject>();
    PlayerPath* path = proxy ? Overlord::FindComponent<PlayerPath>(proxy->proxiedObjectId) : nullptr;
    Waypoint* waypoint = link && path ? path->GetWaypoint(link->waypointIndex) : nullptr;
    if (!waypoint) return;
    waypoint->pos = transform_->position;
    waypoint->orientation = transform_->rotation;
    path->needsRebuild = true;
}
