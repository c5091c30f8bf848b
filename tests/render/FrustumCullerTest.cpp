// Frustum planes against hand-computed values, the sphere test at the
// boundary, and the model sphere under scale and an off-centre mesh.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "engine/Transform.h"
#include "render/camera/FrustumCuller.h"
#include "tests/render/RenderTestSupport.h"

namespace {

// d within 1e-4 of its size: the far plane's d comes from 1 - 2000 / 1999
// in single precision, as the matrix holds it.
void ExpectPlane(const D3DXPLANE& p, float a, float b, float c, float d) {
    EXPECT_NEAR(p.a, a, 1e-5f);
    EXPECT_NEAR(p.b, b, 1e-5f);
    EXPECT_NEAR(p.c, c, 1e-5f);
    EXPECT_NEAR(p.d, d, 1e-4f * std::max(1.0f, std::fabs(d)));
}

FrustumCuller For1024x768(const D3DXMATRIX& view) {
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, 0.785398185f, 1024.0f / 768.0f, 1.0f, 2000.0f);
    FrustumCuller culler;
    culler.Build(view * projection);
    return culler;
}

D3DXMATRIX Identity() {
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    return m;
}

TEST(FrustumCullerTest, PlanesOfThe1024x768ProjectionMatchHandValues) {
    const FrustumCuller f = For1024x768(Identity());
    // yScale = cot(pi / 8); xScale = yScale / (4 / 3). Side planes through the
    // eye: (+-xScale, 0, 1) and (0, -+yScale, 1), normalised.
    const float ys = 1.0f / std::tan(0.785398185f / 2.0f), xs = ys / (4.0f / 3.0f);
    const float nx = std::sqrt(xs * xs + 1.0f), ny = std::sqrt(ys * ys + 1.0f);
    ExpectPlane(f.GetPlane(FrustumCuller::kNear), 0, 0, 1, -1);
    ExpectPlane(f.GetPlane(FrustumCuller::kLeft), xs / nx, 0, 1 / nx, 0);
    ExpectPlane(f.GetPlane(FrustumCuller::kRight), -xs / nx, 0, 1 / nx, 0);
    ExpectPlane(f.GetPlane(FrustumCuller::kTop), 0, -ys / ny, 1 / ny, 0);
    ExpectPlane(f.GetPlane(FrustumCuller::kBottom), 0, ys / ny, 1 / ny, 0);
    ExpectPlane(f.GetPlane(FrustumCuller::kFar), 0, 0, -1, 2000);
    // Same numbers, written out: cos and sin of pi / 8 for the top plane.
    EXPECT_NEAR(f.GetPlane(FrustumCuller::kTop).b, -0.9238795f, 1e-5f);
    EXPECT_NEAR(f.GetPlane(FrustumCuller::kTop).c, 0.3826834f, 1e-5f);
}

TEST(FrustumCullerTest, PlanesFollowTheView) {
    // Eye at (0, 0, -10) looking down +z: the near plane is z = -9.
    D3DXMATRIX view;
    const D3DXVECTOR3 eye(0, 0, -10), at(0, 0, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    const FrustumCuller f = For1024x768(view);
    ExpectPlane(f.GetPlane(FrustumCuller::kNear), 0, 0, 1, 9);
    ExpectPlane(f.GetPlane(FrustumCuller::kFar), 0, 0, -1, 1990);
}

TEST(FrustumCullerTest, TouchingSphereIsInsideAndOneFurtherOutIsNot) {
    const FrustumCuller f = For1024x768(Identity());
    // The near plane is z = 1: a sphere of radius 1 at z = 0 touches it.
    EXPECT_FALSE(f.IsOutside(D3DXVECTOR3(0, 0, 0), 1.0f));
    EXPECT_TRUE(f.IsOutside(D3DXVECTOR3(0, 0, -0.01f), 1.0f));
    // Beyond the far plane by exactly the radius: touching.
    EXPECT_FALSE(f.IsOutside(D3DXVECTOR3(0, 0, 2010), 10.0f));
    EXPECT_TRUE(f.IsOutside(D3DXVECTOR3(0, 0, 2010.5f), 10.0f));
    // Left of the view: centre at a distance of 5 outside the left plane.
    const D3DXPLANE& left = f.GetPlane(FrustumCuller::kLeft);
    const D3DXVECTOR3 ahead(0, 0, 100);
    const D3DXVECTOR3 centre = ahead - D3DXVECTOR3(left.a, left.b, left.c) * (5.0f + D3DXPlaneDotCoord(&left, &ahead));
    EXPECT_FALSE(f.IsOutside(centre, 5.001f));
    EXPECT_TRUE(f.IsOutside(centre, 4.99f));
    // A negative radius shrinks the sphere (lights are tested with mRange as it stands).
    EXPECT_TRUE(f.IsOutside(D3DXVECTOR3(0, 0, 0.5f), -1.0f));
}

class ModelSphereTest : public RenderFixture {};

TEST_F(ModelSphereTest, CentreFollowsTheWorldMatrixAndRadiusTheScale) {
    Transform transform;
    transform.position = D3DXVECTOR3(10, 0, 0);
    transform.scale = 3.0f;
    const D3DXVECTOR3 yAxis(0, 1, 0);
    D3DXQuaternionRotationAxis(&transform.rotation, &yAxis, 1.5707963f);
    transform.Init();
    transform.Update(0.0f);
    D3DXVECTOR3 centre;
    float radius = 0;
    // A mesh whose box sits 2 units along its own x axis, half-size (1, 2, 2).
    FrustumCuller::ModelSphere(transform, D3DXVECTOR3(2, 0, 0), D3DXVECTOR3(1, 2, 2), &centre, &radius);
    // Turned a quarter about y (x goes to -z), scaled by 3, moved by 10 on x.
    ExpectVecNear(centre, D3DXVECTOR3(10, 0, -6), 1e-4f);
    EXPECT_NEAR(radius, 9.0f, 1e-4f);
}

TEST_F(ModelSphereTest, ScaledOrOffCentreModelInViewIsKept) {
    const FrustumCuller f = For1024x768(Identity());
    Transform transform;
    // The object's origin lies well left of the view at z = 50, its mesh to the right of it.
    transform.position = D3DXVECTOR3(-80, 0, 50);
    transform.Init();
    transform.Update(0.0f);
    D3DXVECTOR3 centre;
    float radius = 0;
    FrustumCuller::ModelSphere(transform, D3DXVECTOR3(80, 0, 0), D3DXVECTOR3(1, 1, 1), &centre, &radius);
    EXPECT_TRUE(f.IsOutside(transform.worldPosition, radius)) << "the origin alone would drop it";
    EXPECT_FALSE(f.IsOutside(centre, radius));
    // A unit mesh scaled by 60 reaches into the view from the same origin.
    transform.scale = 60.0f;
    transform.Update(0.0f);
    FrustumCuller::ModelSphere(transform, D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(1, 1, 1), &centre, &radius);
    EXPECT_TRUE(f.IsOutside(centre, std::sqrt(3.0f)));
    EXPECT_FALSE(f.IsOutside(centre, radius));
}

}  // namespace
