#include "game/physics/PairTests.h"

#include <cmath>

#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "game/physics/CylinderCollision.h"
#include "game/physics/SphereCollision.h"

namespace {

bool Finite(const D3DXVECTOR3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool SameNonZeroGroup(int a, int b) {
    return a != 0 && a == b;
}

}  // namespace

float SegmentDistance(const D3DXVECTOR3& p, const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    const D3DXVECTOR3 v = b - a;
    const D3DXVECTOR3 w = p - a;
    const float c1 = D3DXVec3Dot(&w, &v);
    if (c1 <= 0.0f) return D3DXVec3Length(&w);
    const float c2 = D3DXVec3Dot(&v, &v);
    if (c2 <= c1) {
        const D3DXVECTOR3 pb = p - b;
        return D3DXVec3Length(&pb);
    }
    const D3DXVECTOR3 foot = a + (c1 / c2) * v;
    const D3DXVECTOR3 toFoot = p - foot;
    return D3DXVec3Length(&toFoot);
}

bool SpherePairTest(const SphereCollision& a, const SphereCollision& b) {
    if (!a.IsEnabled() || !b.IsEnabled()) return false;
    const Transform* ta = Overlord::FindComponent<Transform>(a.GetOwner());
    const Transform* tb = Overlord::FindComponent<Transform>(b.GetOwner());
    if (!ta || !tb) return false;
    if (SameNonZeroGroup(a.collisionGroup, b.collisionGroup)) return false;
    if (!std::isfinite(a.radius) || !std::isfinite(b.radius)) return false;
    if (!Finite(ta->worldPosition) || !Finite(tb->worldPosition)) return false;
    const D3DXVECTOR3 d = ta->worldPosition - tb->worldPosition;
    const float reach = a.radius + b.radius;
    return reach * reach >= D3DXVec3LengthSq(&d);
}

bool CylinderPairTest(const CylinderCollision& cylinder, const SphereCollision& sphere) {
    const Transform* ts = Overlord::FindComponent<Transform>(sphere.GetOwner());
    D3DXVECTOR3 a, b;
    if (!ts || !cylinder.EndPoints(a, b)) return false;
    return CylinderTouches(a, b, cylinder.radius, cylinder.collisionGroup, ts->worldPosition, sphere.radius,
                           sphere.collisionGroup);
}

bool CylinderTouches(const D3DXVECTOR3& a, const D3DXVECTOR3& b, float cylinderRadius, int cylinderGroup,
                     const D3DXVECTOR3& p, float sphereRadius, int sphereGroup) {
    if (SameNonZeroGroup(cylinderGroup, sphereGroup)) return false;
    if (!std::isfinite(cylinderRadius) || !std::isfinite(sphereRadius)) return false;
    if (!Finite(p) || !Finite(a) || !Finite(b)) return false;
    return sphereRadius + cylinderRadius >= SegmentDistance(p, a, b);
}
