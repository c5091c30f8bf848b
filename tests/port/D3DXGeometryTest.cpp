#include "tests/port/MathExpect.h"

namespace {
const D3DXVECTOR3 kP0(0, 0, 0), kP1(1, 0, 0), kP2(0, 1, 0);
}  // namespace

TEST(D3DXGeometryTest, IntersectTriGivesBarycentricsAndDistance) {
    const D3DXVECTOR3 pos(0.25f, 0.5f, -2), dir(0, 0, 1);
    float u = -1, v = -1, dist = -1;
    ASSERT_TRUE(D3DXIntersectTri(&kP0, &kP1, &kP2, &pos, &dir, &u, &v, &dist));
    EXPECT_NEAR(u, 0.25f, 1e-6f);
    EXPECT_NEAR(v, 0.5f, 1e-6f);
    EXPECT_NEAR(dist, 2.0f, 1e-6f);
    // Distance is measured in units of the direction's length.
    const D3DXVECTOR3 longDir(0, 0, 4);
    ASSERT_TRUE(D3DXIntersectTri(&kP0, &kP1, &kP2, &pos, &longDir, nullptr, nullptr, &dist));
    EXPECT_NEAR(dist, 0.5f, 1e-6f);
    // The back face is hit too.
    const D3DXVECTOR3 above(0.25f, 0.5f, 3), down(0, 0, -1);
    EXPECT_TRUE(D3DXIntersectTri(&kP0, &kP1, &kP2, &above, &down, nullptr, nullptr, nullptr));
}

TEST(D3DXGeometryTest, IntersectTriMissesOutsideBehindAndParallel) {
    const D3DXVECTOR3 dir(0, 0, 1);
    const D3DXVECTOR3 outside(0.75f, 0.75f, -2);
    EXPECT_FALSE(D3DXIntersectTri(&kP0, &kP1, &kP2, &outside, &dir, nullptr, nullptr, nullptr));
    const D3DXVECTOR3 negative(-0.1f, 0.5f, -2);
    EXPECT_FALSE(D3DXIntersectTri(&kP0, &kP1, &kP2, &negative, &dir, nullptr, nullptr, nullptr));
    const D3DXVECTOR3 behind(0.25f, 0.25f, 2);
    EXPECT_FALSE(D3DXIntersectTri(&kP0, &kP1, &kP2, &behind, &dir, nullptr, nullptr, nullptr));
    const D3DXVECTOR3 inPlane(-1, 0.25f, 0), along(1, 0, 0);
    EXPECT_FALSE(D3DXIntersectTri(&kP0, &kP1, &kP2, &inPlane, &along, nullptr, nullptr, nullptr));
    const D3DXVECTOR3 start(0.25f, 0.25f, -1), zero;
    EXPECT_FALSE(D3DXIntersectTri(&kP0, &kP1, &kP2, &start, &zero, nullptr, nullptr, nullptr));
}

TEST(D3DXGeometryTest, PlaneFromPointsFollowsWindingAndOffset) {
    D3DXPLANE p;
    D3DXPlaneFromPoints(&p, &kP0, &kP1, &kP2);
    EXPECT_EQ(p, D3DXPLANE(0, 0, 1, 0));
    const D3DXVECTOR3 a(0, 0, 2), b(0, 3, 2), c(3, 0, 2);
    D3DXPlaneFromPoints(&p, &a, &b, &c);
    EXPECT_EQ(p, D3DXPLANE(0, 0, -1, 2));
    const D3DXVECTOR3 below(5, 5, 0);
    EXPECT_FLOAT_EQ(D3DXPlaneDotCoord(&p, &below), 2.0f);
}

TEST(D3DXGeometryTest, PlaneNormalizeScalesAllFourAndSurvivesZero) {
    const D3DXPLANE p(0, 3, 4, 10);
    D3DXPLANE n;
    D3DXPlaneNormalize(&n, &p);
    EXPECT_NEAR(n.b, 0.6f, 1e-6f);
    EXPECT_NEAR(n.c, 0.8f, 1e-6f);
    EXPECT_NEAR(n.d, 2.0f, 1e-6f);
    const D3DXPLANE zero;
    EXPECT_EQ(*D3DXPlaneNormalize(&n, &zero), D3DXPLANE());
}

TEST(D3DXGeometryTest, PlaneIntersectLineFindsCrossingOrReportsParallel) {
    const D3DXPLANE ground(0, 1, 0, 0);
    const D3DXVECTOR3 v1(1, 2, 3), v2(1, 1, 3);
    D3DXVECTOR3 hit(9, 9, 9);
    ASSERT_NE(D3DXPlaneIntersectLine(&hit, &ground, &v1, &v2), nullptr);
    ExpectVec3Near(hit, D3DXVECTOR3(1, 0, 3));
    const D3DXVECTOR3 flat(5, 2, 3);
    hit = D3DXVECTOR3(9, 9, 9);
    EXPECT_EQ(D3DXPlaneIntersectLine(&hit, &ground, &v1, &flat), nullptr);
    EXPECT_EQ(hit, D3DXVECTOR3(9, 9, 9));
}

TEST(D3DXGeometryTest, ProjectMapsClipSpaceToViewportPixels) {
    D3DXVIEWPORT viewport;
    viewport.Width = 1024;
    viewport.Height = 768;
    const D3DXVECTOR3 centre(0, 0, 0), corner(1, 1, 0.5f);
    D3DXVECTOR3 s;
    ExpectVec3Near(*D3DXVec3Project(&s, &centre, &viewport, nullptr, nullptr, nullptr), D3DXVECTOR3(512, 384, 0));
    ExpectVec3Near(*D3DXVec3Project(&s, &corner, &viewport, nullptr, nullptr, nullptr), D3DXVECTOR3(1024, 0, 0.5f));
}

TEST(D3DXGeometryTest, UnprojectInvertsProject) {
    D3DXVIEWPORT viewport;
    viewport.TopLeftX = 10;
    viewport.Width = 320;
    viewport.Height = 240;
    D3DXMATRIX projection, view, world;
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4, 320.0f / 240.0f, 1.0f, 100.0f);
    const D3DXVECTOR3 eye(2, 3, -10), at(0, 0, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixTranslation(&world, 0.5f, 0, 0);
    const D3DXVECTOR3 point(1, -2, 4);
    D3DXVECTOR3 screen, back;
    D3DXVec3Project(&screen, &point, &viewport, &projection, &view, &world);
    EXPECT_GT(screen.z, 0.0f);
    EXPECT_LT(screen.z, 1.0f);
    ASSERT_NE(D3DXVec3Unproject(&back, &screen, &viewport, &projection, &view, &world), nullptr);
    ExpectVec3Near(back, point, 1e-3f);
}
