#include "game/physics/CylinderCollision.h"

#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "render/IGraphics.h"
#include "render/debug/DebugRecords.h"

void CylinderCollision::Reflect(MemberList<CylinderCollision>& members) {
    members.Add("radius", &CylinderCollision::radius);
    members.Add("restitution", &CylinderCollision::restitution);
    members.Add("visionRadius", &CylinderCollision::visionRadius);
    members.Add("collisionGroup", &CylinderCollision::collisionGroup);
    members.Add("axis", &CylinderCollision::axis);
}

bool CylinderCollision::EndPoints(D3DXVECTOR3& a, D3DXVECTOR3& b) const {
    const Transform* transform = Overlord::FindComponent<Transform>(GetOwner());
    if (!transform) return false;
    // The world up: the world rotation applied to (0, 1, 0).
    const D3DXQUATERNION rotation = transform->GetWorldRotation();
    D3DXMATRIX turn;
    D3DXMatrixRotationQuaternion(&turn, &rotation);
    const D3DXVECTOR3 yAxis(0.0f, 1.0f, 0.0f);
    D3DXVECTOR3 up;
    D3DXVec3TransformNormal(&up, &yAxis, &turn);
    const D3DXVECTOR3 half = up * (axis * 0.5f);
    a = transform->worldPosition - half;
    b = transform->worldPosition + half;
    return true;
}

void CylinderCollision::DebugDraw() {
    DebugDraw(D3DXCOLOR(1.0f, 1.0f, 0.5f, 1.0f));
}

void CylinderCollision::DebugDraw(const D3DXCOLOR& colour) {
    D3DXVECTOR3 ends[2];
    if (!EndPoints(ends[0], ends[1])) return;
    for (const D3DXVECTOR3& end : ends) {
        DebugSphereRecord sphere;
        sphere.centre = end;
        sphere.radius = 1.4f * radius;
        sphere.colour = colour;
        SendToSystem(kMsgDebugSphere, TypeId<GraphicsSystem>::Get(), GetId(), sphere);
    }
}
