// The small geometry of the editor's mouse picking: the mouse ray through a
// pixel, ray against sphere and plane, screen rectangles, and the nearly-equal
// test that tells a still mouse. Pure functions in world units (pixels for
// the screen ones); row vectors and D3DX matrices.
#pragma once
#include "core/Types.h"
#include "engine/Ray.h"
#include "port/math/D3DX.h"

struct ModelCpuMesh;

// Where a ray meets a mesh: the hit triangle's three vertex indices and the
// ray parameter of the hit (hit = origin + t x direction).
struct MeshHit {
    u32 corners[3] = {0, 0, 0};
    float t = 0.0f;
};

// Each component within 0.001.
bool VectorsNearlyEqual(const D3DXVECTOR3& a, const D3DXVECTOR3& b);
// Whether the ray (direction of any non-zero length) meets the sphere at a
// parameter >= 0: a sphere wholly behind the origin is missed. An origin on
// the sphere's surface counts as a hit.
bool RaySphereIntersect(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, const D3DXVECTOR3& centre,
                        float radius);
// Whether the line of the ray (a direction of length 1) passes the sphere by
// clearly more than float rounding: RaySphereIntersect then misses it too.
// Inline, for a first look in a scan over many spheres; NaN gives false.
inline bool LineClearlyMissesSphere(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, const D3DXVECTOR3& centre,
                                    float radius) {
    const float x = origin.x - centre.x, y = origin.y - centre.y, z = origin.z - centre.z;
    const float along = direction.x * x + direction.y * y + direction.z * z;
    const float apart = x * x + y * y + z * z;
    const float squared = radius * radius;
    // The margin is many times the rounding of either test's terms.
    return apart - along * along - squared > 1e-4f * (apart + squared) + 1e-6f;
}
// The pick ray through client pixel (x, y) of a w x h view: origin the eye
// (row 3 of the inverse view), direction not normalised, at depth 1 in view
// space. projection gives the scale terms _11 and _22.
Ray MouseToWorldRay(float x, float y, float width, float height, const D3DXMATRIX& projection,
                    const D3DXMATRIX& inverseView);
// The ray's hit on the plane through point with normal, ahead of the origin;
// false when the ray runs parallel (|d . n| <= 0.001) or the plane is behind.
bool RayPlaneIntersect(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, const D3DXVECTOR3& point,
                       const D3DXVECTOR3& normal, D3DXVECTOR3* hit);
// Whether p lies in the rectangle with corners v1 (left bottom), v2 (left
// top), v3 (right top), v4 (right bottom), edges included.
bool PointInScreenRect(const D3DXVECTOR3& p, const D3DXVECTOR3& v1, const D3DXVECTOR3& v2, const D3DXVECTOR3& v3,
                       const D3DXVECTOR3& v4);
// The nearest triangle of the mesh (in the mesh's own space, as the ray) that
// the ray meets ahead of its origin; false when it meets none. Indices that
// name no vertex are passed over.
bool RayMeshIntersect(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, const ModelCpuMesh& mesh, MeshHit* hit);
// The ray parameter at which the ray enters the box centre +- extent (axis
// aligned in the ray's space), 0 when the origin is inside it; false when the
// ray misses it or the box lies behind the origin.
bool RayBoxEntry(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, const D3DXVECTOR3& centre,
                 const D3DXVECTOR3& extent, float* t);
// The ray parameters at which the ray enters (0 when the origin is inside)
// and leaves the sphere; false when it misses it or the sphere lies behind.
bool RaySphereSpan(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, const D3DXVECTOR3& centre, float radius,
                   float* enter, float* leave);
