#include "game/physics/SphereCollision.h"

#include <cmath>

#include "engine/Logger.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "render/IGraphics.h"
#include "render/debug/DebugRecords.h"

void SphereCollision::Reflect(MemberList<SphereCollision>& members) {
    members.Add("radius", &SphereCollision::radius);
    members.Add("restitution", &SphereCollision::restitution);
    members.Add("visionRadius", &SphereCollision::visionRadius);
    members.Add("collisionGroup", &SphereCollision::collisionGroup);
}

void SphereCollision::Init() {
    Subscribe(kMsgRefresh);
}

void SphereCollision::HandleMessage(Message* message) {
    if (message->Is(kMsgRefresh)) Refresh();
}

void SphereCollision::Refresh() {
    Transform* transform = Overlord::FindComponent<Transform>(GetOwner());
    if (!transform) return;
    const D3DXVECTOR3 at = transform->worldPosition;
    if (!std::isfinite(at.x) || !std::isfinite(at.y) || !std::isfinite(at.z) || !std::isfinite(radius)) {
        if (!reportedBroken_)
            Log("SphereCollision %u on object %u: its position or radius is not a number; it collides with nothing",
                GetId(), GetOwner());
        reportedBroken_ = true;
        return;
    }
    reportedBroken_ = false;
    if (firstRefresh) {
        firstRefresh = false;
    } else {
        displacement = at - lastPosition;
    }
    lastPosition = at;
    ColliderRecord record;
    record.position[0] = at.x;
    record.position[1] = at.y;
    record.position[2] = at.z;
    record.radius = radius;
    record.objectId = GetOwner();
    Broadcast(kMsgColliderMoved, GetOwner(), record);
}

void SphereCollision::DebugDraw() {
    DebugDraw(D3DXCOLOR(1.0f, 1.0f, 0.5f, 1.0f));
}

void SphereCollision::DebugDraw(const D3DXCOLOR& colour) {
    const Transform* transform = Overlord::FindComponent<Transform>(GetOwner());
    if (!transform) return;
    DebugSphereRecord sphere;
    sphere.centre = transform->worldPosition;
    sphere.radius = 1.1f * radius;
    sphere.colour = colour;
    SendToSystem(kMsgDebugSphere, TypeId<GraphicsSystem>::Get(), GetId(), sphere);
}
