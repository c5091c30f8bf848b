// The exact collider tests that Physics (cylinder against sphere) and the
// CollisionSystem (sphere against sphere) run. Both read the objects'
// Transforms through the Overlord; a position or radius that is not a finite
// number never collides. Main thread only.
#pragma once
#include "port/math/D3DX.h"

class CylinderCollision;
class SphereCollision;

// The distance from p to the segment a-b.
float SegmentDistance(const D3DXVECTOR3& p, const D3DXVECTOR3& a, const D3DXVECTOR3& b);

// Both enabled, both objects with a Transform, not both of one non-zero
// group, and the centres no farther apart than the sum of the radii
// (touching counts).
bool SpherePairTest(const SphereCollision& a, const SphereCollision& b);

// Both objects with a Transform, not both of one non-zero group, and the
// sphere's centre within the two radii of the cylinder's axis segment. The
// enabled flags are not read.
bool CylinderPairTest(const CylinderCollision& cylinder, const SphereCollision& sphere);

// The same test on what is already looked up: the cylinder's axis ends a and
// b, its radius and group, the sphere's centre p, radius and group.
bool CylinderTouches(const D3DXVECTOR3& a, const D3DXVECTOR3& b, float cylinderRadius, int cylinderGroup,
                     const D3DXVECTOR3& p, float sphereRadius, int sphereGroup);
