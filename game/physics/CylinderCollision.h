// A cylinder (a segment of length `axis` along its object's world up, centred
// on the object, with rounded ends of `radius`) that Physics tests against
// every sphere collider. Owned by its object; main thread only.
#pragma once
#include "game/physics/Collision.h"
#include "port/math/D3DX.h"

class CylinderCollision : public Component<CylinderCollision, Collision> {
public:
    CylinderCollision() = default;
    static void Reflect(MemberList<CylinderCollision>& members);

    // Spheres of 1.4 x radius at both ends of the axis, to the renderer;
    // nothing when the object has no Transform.
    void DebugDraw() override;
    void DebugDraw(const D3DXCOLOR& colour);
    // The ends of the axis segment in world space; false when the object
    // has no Transform.
    bool EndPoints(D3DXVECTOR3& a, D3DXVECTOR3& b) const;

    // Reflected, in file order.
    float radius = 20.0f;  // units around the axis segment
    float restitution = 0.0f;
    float visionRadius = 20.0f;
    int collisionGroup = 0;
    float axis = 10.0f;  // length of the axis segment

    // The position the CollisionSystem files a cylinder's entry under;
    // nothing writes it.
    D3DXVECTOR3 position{0.0f, 0.0f, 0.0f};
};
