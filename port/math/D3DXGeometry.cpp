#include "port/math/D3DXGeometry.h"

#include "port/math/D3DXMatrix.h"

namespace {
D3DXMATRIX WorldViewProjection(const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world) {
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    if (world) m *= *world;
    if (view) m *= *view;
    if (projection) m *= *projection;
    return m;
}
}  // namespace

D3DXVECTOR3* D3DXVec3Project(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXVIEWPORT* viewport,
                             const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world) {
    const D3DXMATRIX m = WorldViewProjection(projection, view, world);
    D3DXVECTOR3 clip;
    D3DXVec3TransformCoord(&clip, v, &m);
    const float width = static_cast<float>(viewport->Width), height = static_cast<float>(viewport->Height);
    *out = D3DXVECTOR3(static_cast<float>(viewport->TopLeftX) + (1.0f + clip.x) * width * 0.5f,
                       static_cast<float>(viewport->TopLeftY) + (1.0f - clip.y) * height * 0.5f,
                       viewport->MinDepth + clip.z * (viewport->MaxDepth - viewport->MinDepth));
    return out;
}

D3DXVECTOR3* D3DXVec3Unproject(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXVIEWPORT* viewport,
                               const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world) {
    D3DXMATRIX inverse;
    const D3DXMATRIX m = WorldViewProjection(projection, view, world);
    if (!D3DXMatrixInverse(&inverse, nullptr, &m)) return nullptr;
    const float width = static_cast<float>(viewport->Width), height = static_cast<float>(viewport->Height);
    const float depthRange = viewport->MaxDepth - viewport->MinDepth;
    const D3DXVECTOR3 clip(
        width > 0.0f ? 2.0f * (v->x - static_cast<float>(viewport->TopLeftX)) / width - 1.0f : 0.0f,
        height > 0.0f ? 1.0f - 2.0f * (v->y - static_cast<float>(viewport->TopLeftY)) / height : 0.0f,
        depthRange != 0.0f ? (v->z - viewport->MinDepth) / depthRange : 0.0f);
    D3DXVec3TransformCoord(out, &clip, &inverse);
    return out;
}

bool D3DXIntersectTri(const D3DXVECTOR3* p0, const D3DXVECTOR3* p1, const D3DXVECTOR3* p2, const D3DXVECTOR3* rayPos,
                      const D3DXVECTOR3* rayDir, float* u, float* v, float* dist) {
    // Solve pos + t dir = p0 + u e1 + v e2 by Cramer's rule (Moller-Trumbore).
    const D3DXVECTOR3 e1 = *p1 - *p0, e2 = *p2 - *p0;
    D3DXVECTOR3 pvec, qvec;
    D3DXVec3Cross(&pvec, rayDir, &e2);
    const float det = D3DXVec3Dot(&e1, &pvec);
    if (det == 0.0f) return false;  // ray parallel to the triangle, or a degenerate triangle
    const float invDet = 1.0f / det;
    const D3DXVECTOR3 tvec = *rayPos - *p0;
    const float hitU = D3DXVec3Dot(&tvec, &pvec) * invDet;
    if (hitU < 0.0f || hitU > 1.0f) return false;
    D3DXVec3Cross(&qvec, &tvec, &e1);
    const float hitV = D3DXVec3Dot(rayDir, &qvec) * invDet;
    if (hitV < 0.0f || hitU + hitV > 1.0f) return false;
    const float t = D3DXVec3Dot(&e2, &qvec) * invDet;
    if (t < 0.0f) return false;
    if (u) *u = hitU;
    if (v) *v = hitV;
    if (dist) *dist = t;
    return true;
}
