#include "render/camera/FrustumCuller.h"

#include <cmath>

#include "engine/Transform.h"

namespace {

D3DXPLANE Column(const D3DXMATRIX& m, int j) {
    return D3DXPLANE(m(0, j), m(1, j), m(2, j), m(3, j));
}

D3DXPLANE Sum(const D3DXPLANE& p, const D3DXPLANE& q, float sign) {
    return D3DXPLANE(p.a + sign * q.a, p.b + sign * q.b, p.c + sign * q.c, p.d + sign * q.d);
}

}  // namespace

void FrustumCuller::Build(const D3DXMATRIX& m) {
    const D3DXPLANE c1 = Column(m, 0), c2 = Column(m, 1), c3 = Column(m, 2), c4 = Column(m, 3);
    const D3DXPLANE raw[kPlaneCount] = {
        c3, Sum(c4, c1, 1.0f), Sum(c4, c1, -1.0f), Sum(c4, c2, -1.0f), Sum(c4, c2, 1.0f), Sum(c4, c3, -1.0f)};
    for (int i = 0; i < kPlaneCount; ++i) D3DXPlaneNormalize(&planes_[i], &raw[i]);
}

bool FrustumCuller::IsOutside(const D3DXVECTOR3& centre, float radius) const {
    for (const D3DXPLANE& p : planes_)
        if (D3DXPlaneDotCoord(&p, &centre) + radius < 0.0f) return true;
    return false;
}

void FrustumCuller::ModelSphere(const Transform& transform, const D3DXVECTOR3& center, const D3DXVECTOR3& extent,
                                D3DXVECTOR3* worldCentre, float* radius) {
    const D3DXMATRIX world = transform.GetWorldMatrix();
    D3DXVec3TransformCoord(worldCentre, &center, &world);
    *radius = D3DXVec3Length(&extent) * std::fabs(transform.GetWorldScale());
}
