// The six view-frustum planes of one frame (near, left, right, top, bottom,
// far; normalised, pointing inwards) taken from the view x projection
// matrix, and the bounding-sphere test that models and point lights pass
// before they are drawn. Owned by the FramePipeline, rebuilt once a frame.
// Plain value; main thread only.
#pragma once
#include <array>

#include "port/math/D3DX.h"

class Transform;

class FrustumCuller {
public:
    enum Plane { kNear, kLeft, kRight, kTop, kBottom, kFar, kPlaneCount };

    // From M = view x projection, column j of M written Cj: near C3,
    // left C4 + C1, right C4 - C1, top C4 - C2, bottom C4 + C2, far C4 - C3.
    void Build(const D3DXMATRIX& viewProjection);
    const D3DXPLANE& GetPlane(int plane) const { return planes_[plane]; }

    // Outside when the sphere lies wholly behind any plane; a sphere that
    // touches a plane counts as inside.
    bool IsOutside(const D3DXVECTOR3& centre, float radius) const;

    // The bounding sphere of a model box (centre and half-size in model space)
    // placed by a Transform: the box centre through the world matrix, the
    // radius |extent| times the world scale.
    static void ModelSphere(const Transform& transform, const D3DXVECTOR3& center, const D3DXVECTOR3& extent,
                            D3DXVECTOR3* worldCentre, float* radius);

private:
    std::array<D3DXPLANE, kPlaneCount> planes_{};
};
