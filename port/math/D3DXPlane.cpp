#include "port/math/D3DXPlane.h"

#include <type_traits>

D3DXPLANE* D3DXPlaneNormalize(D3DXPLANE* out, const D3DXPLANE* p) {
    const D3DXVECTOR3 normal(p->a, p->b, p->c);
    const float length = D3DXVec3Length(&normal);
    *out = length > 0.0f ? *p / length : D3DXPLANE();
    return out;
}

D3DXPLANE* D3DXPlaneFromPointNormal(D3DXPLANE* out, const D3DXVECTOR3* point, const D3DXVECTOR3* normal) {
    *out = D3DXPLANE(normal->x, normal->y, normal->z, -D3DXVec3Dot(point, normal));
    return out;
}

D3DXPLANE* D3DXPlaneFromPoints(D3DXPLANE* out, const D3DXVECTOR3* v1, const D3DXVECTOR3* v2, const D3DXVECTOR3* v3) {
    const D3DXVECTOR3 e1 = *v2 - *v1, e2 = *v3 - *v1;
    D3DXVECTOR3 normal;
    D3DXVec3Cross(&normal, &e1, &e2);
    D3DXVec3Normalize(&normal, &normal);
    return D3DXPlaneFromPointNormal(out, v1, &normal);
}

D3DXVECTOR3* D3DXPlaneIntersectLine(D3DXVECTOR3* out, const D3DXPLANE* p, const D3DXVECTOR3* v1,
                                    const D3DXVECTOR3* v2) {
    const D3DXVECTOR3 direction = *v2 - *v1;
    const float along = D3DXPlaneDotNormal(p, &direction);
    if (along == 0.0f) return nullptr;
    *out = *v1 - direction * (D3DXPlaneDotCoord(p, v1) / along);
    return out;
}

static_assert(sizeof(D3DXPLANE) == 16);
static_assert(std::is_standard_layout_v<D3DXPLANE> && std::is_trivially_copyable_v<D3DXPLANE>);
