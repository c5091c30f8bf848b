#include "editor/select/PickGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "render/mesh/ModelCpuMesh.h"

bool VectorsNearlyEqual(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    return std::fabs(a.x - b.x) <= 0.001f && std::fabs(a.y - b.y) <= 0.001f && std::fabs(a.z - b.z) <= 0.001f;
}

namespace {
// The ray-sphere equation a t^2 + b t + k = 0 and the square root s of its
// discriminant; false when the ray has no direction or misses the sphere's line.
struct SphereRoots {
    float a = 0, b = 0, k = 0, s = 0;
};

bool SolveRaySphere(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, const D3DXVECTOR3& centre, float radius,
                    SphereRoots* roots) {
    const D3DXVECTOR3 offset = origin - centre;
    roots->a = D3DXVec3Dot(&direction, &direction);
    if (roots->a == 0.0f) return false;
    roots->b = 2.0f * D3DXVec3Dot(&direction, &offset);
    roots->k = D3DXVec3Dot(&offset, &offset) - radius * radius;
    const float discriminant = roots->b * roots->b - 4.0f * roots->a * roots->k;
    if (discriminant < 0.0f) return false;
    roots->s = std::sqrt(discriminant);
    return true;
}
}  // namespace

bool RaySphereIntersect(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, const D3DXVECTOR3& centre,
                        float radius) {
    SphereRoots roots;
    if (!SolveRaySphere(origin, direction, centre, radius, &roots)) return false;
    const float a = roots.a, b = roots.b, k = roots.k, s = roots.s;
    const float q = b < 0.0f ? (-b - s) / 2.0f : (s - b) / 2.0f;
    // q = 0 only when both b and k are 0: the origin on the sphere, looking
    // along its tangent plane; the roots are then 0 and 0.
    if (q == 0.0f) return true;
    const float t0 = q / a;
    const float t1 = k / q;
    return std::max(t0, t1) >= 0.0f;
}

Ray MouseToWorldRay(float x, float y, float width, float height, const D3DXMATRIX& projection,
                    const D3DXMATRIX& inverseView) {
    const double vx = (2.0 * x / width - 1.0) / projection._11;
    const double vy = -(2.0 * y / height - 1.0) / projection._22;
    const D3DXMATRIX& m = inverseView;
    Ray ray;
    ray.direction = D3DXVECTOR3(static_cast<float>(vx * m._11 + vy * m._21 + m._31),
                                static_cast<float>(vx * m._12 + vy * m._22 + m._32),
                                static_cast<float>(vx * m._13 + vy * m._23 + m._33));
    ray.origin = D3DXVECTOR3(m._41, m._42, m._43);
    return ray;
}

bool RayPlaneIntersect(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, const D3DXVECTOR3& point,
                       const D3DXVECTOR3& normal, D3DXVECTOR3* hit) {
    const float denominator = D3DXVec3Dot(&direction, &normal);
    if (std::fabs(denominator) <= 0.001f) return false;
    const D3DXVECTOR3 toPlane = point - origin;
    const float t = D3DXVec3Dot(&normal, &toPlane) / denominator;
    if (t < 0.0f) return false;
    *hit = origin + direction * t;
    return true;
}

bool PointInScreenRect(const D3DXVECTOR3& p, const D3DXVECTOR3& v1, const D3DXVECTOR3& v2, const D3DXVECTOR3& v3,
                       const D3DXVECTOR3& v4) {
    // Inside each of the four edges: measured along the edge that leaves
    // each corner, the point lies at or past the corner.
    const D3DXVECTOR3 corners[4] = {v1, v2, v3, v4};
    for (int i = 0; i < 4; ++i) {
        const D3DXVECTOR3 edge = corners[(i + 1) % 4] - corners[i];
        const D3DXVECTOR3 back = corners[(i + 3) % 4] - corners[i];
        const D3DXVECTOR3 toPoint = p - corners[i];
        if (D3DXVec3Dot(&toPoint, &edge) < 0.0f || D3DXVec3Dot(&toPoint, &back) < 0.0f) return false;
    }
    return true;
}

bool RayMeshIntersect(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, const ModelCpuMesh& mesh, MeshHit* hit) {
    const size_t vertexCount = mesh.vertices.size();
    const size_t count = mesh.indices.empty() ? vertexCount : mesh.indices.size();
    auto index = [&](size_t i) { return mesh.indices.empty() ? static_cast<u32>(i) : mesh.indices[i]; };
    float nearest = std::numeric_limits<float>::max();
    bool found = false;
    for (size_t i = 0; i + 2 < count; i += 3) {
        const u32 corners[3] = {index(i), index(i + 1), index(i + 2)};
        if (corners[0] >= vertexCount || corners[1] >= vertexCount || corners[2] >= vertexCount) continue;
        float u = 0, v = 0, t = 0;
        if (!D3DXIntersectTri(&mesh.vertices[corners[0]].position, &mesh.vertices[corners[1]].position,
                              &mesh.vertices[corners[2]].position, &origin, &direction, &u, &v, &t) ||
            t >= nearest)
            continue;
        nearest = t;
        found = true;
        *hit = MeshHit{{corners[0], corners[1], corners[2]}, t};
    }
    return found;
}

bool RayBoxEntry(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, const D3DXVECTOR3& centre,
                 const D3DXVECTOR3& extent, float* t) {
    float enter = 0.0f;
    float leave = std::numeric_limits<float>::max();
    const float o[3] = {origin.x - centre.x, origin.y - centre.y, origin.z - centre.z};
    const float d[3] = {direction.x, direction.y, direction.z};
    const float e[3] = {std::fabs(extent.x), std::fabs(extent.y), std::fabs(extent.z)};
    for (int axis = 0; axis < 3; ++axis) {
        if (d[axis] == 0.0f) {
            if (o[axis] < -e[axis] || o[axis] > e[axis]) return false;
            continue;
        }
        float near = (-e[axis] - o[axis]) / d[axis];
        float far = (e[axis] - o[axis]) / d[axis];
        if (near > far) std::swap(near, far);
        enter = std::max(enter, near);
        leave = std::min(leave, far);
        if (enter > leave) return false;
    }
    *t = enter;
    return true;
}

bool RaySphereSpan(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, const D3DXVECTOR3& centre, float radius,
                   float* enter, float* leave) {
    SphereRoots roots;
    if (!SolveRaySphere(origin, direction, centre, radius, &roots)) return false;
    const float far = (-roots.b + roots.s) / (2.0f * roots.a);
    if (far < 0.0f) return false;
    *enter = std::max(0.0f, (-roots.b - roots.s) / (2.0f * roots.a));
    *leave = far;
    return true;
}
