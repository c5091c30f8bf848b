#include <gtest/gtest.h>

#include <cmath>

#include "render/mesh/MeshGeometry.h"

namespace {

D3DXVECTOR3 FaceCross(const ModelCpuMesh& m, size_t t) {
    const D3DXVECTOR3& p0 = m.vertices[m.indices[t * 3]].position;
    const D3DXVECTOR3& p1 = m.vertices[m.indices[t * 3 + 1]].position;
    const D3DXVECTOR3& p2 = m.vertices[m.indices[t * 3 + 2]].position;
    const D3DXVECTOR3 e1 = p1 - p0, e2 = p2 - p0;
    D3DXVECTOR3 n;
    D3DXVec3Cross(&n, &e1, &e2);
    return n;
}

D3DXVECTOR3 Centroid(const ModelCpuMesh& m, size_t t) {
    return (m.vertices[m.indices[t * 3]].position + m.vertices[m.indices[t * 3 + 1]].position +
            m.vertices[m.indices[t * 3 + 2]].position) /
           3.0f;
}

// In left-handed space with clockwise front faces, cross(P1 - P0, P2 - P0)
// points toward an eye that sees the triangle's front.
bool FrontFacingFrom(const ModelCpuMesh& m, size_t t, const D3DXVECTOR3& eye) {
    const D3DXVECTOR3 n = FaceCross(m, t);
    const D3DXVECTOR3 toEye = eye - Centroid(m, t);
    return D3DXVec3Dot(&n, &toEye) > 0.0f;
}

void ExpectNear(const D3DXVECTOR3& a, const D3DXVECTOR3& b, float eps = 1e-5f) {
    EXPECT_NEAR(a.x, b.x, eps);
    EXPECT_NEAR(a.y, b.y, eps);
    EXPECT_NEAR(a.z, b.z, eps);
}

void ExpectIndicesInRange(const MeshGeometry& g) {
    for (u32 i : g.mesh.indices) ASSERT_LT(i, g.mesh.VertexCount());
}

}  // namespace

TEST(MeshGeometryTest, SphereCountsBoundsAndOutwardFaces) {
    MeshGeometry g;
    ASSERT_TRUE(MeshGeometry::Sphere(10, 10, 1, 1, 1, nullptr, g));
    EXPECT_EQ(g.mesh.VertexCount(), 92u);
    EXPECT_EQ(g.mesh.IndexCount(), 540u);
    EXPECT_EQ(g.triangleCount, 180u);
    EXPECT_EQ(g.topology, MeshGeometry::kTriangleList);
    ExpectIndicesInRange(g);
    ExpectNear(g.center, D3DXVECTOR3(0, 0, 0), 1e-3f);
    ExpectNear(g.extent, D3DXVECTOR3(1, 1, 1), 0.05f);  // ten slices reach sin 72 degrees in z
    for (size_t t = 0; t < g.triangleCount; ++t) {
        const D3DXVECTOR3 c = Centroid(g.mesh, t);
        const D3DXVECTOR3 n = FaceCross(g.mesh, t);
        EXPECT_GT(D3DXVec3Dot(&n, &c), 0.0f) << "triangle " << t << " faces inward";
    }
    for (const ModelVertex& v : g.mesh.vertices) EXPECT_NEAR(D3DXVec3Length(&v.normal), 1.0f, 1e-4f);
}

TEST(MeshGeometryTest, SphereSmallestCountsBuildAndCountsBelowAreRejected) {
    MeshGeometry g;
    ASSERT_TRUE(MeshGeometry::Sphere(2, 2, 1, 2, 3, nullptr, g));
    EXPECT_EQ(g.mesh.VertexCount(), 4u);
    EXPECT_EQ(g.mesh.IndexCount(), 12u);
    ExpectIndicesInRange(g);
    ASSERT_TRUE(MeshGeometry::Sphere(3, 7, 1, 1, 1, nullptr, g));
    EXPECT_EQ(g.mesh.VertexCount(), 2u * 7u + 2u);
    EXPECT_EQ(g.mesh.IndexCount(), 6u * 7u * 2u);
    ExpectIndicesInRange(g);

    const int bad[][2] = {{1, 10}, {10, 1}, {0, 0}, {-3, 10}, {10, -3}, {1, 1}};
    for (const auto& c : bad) {
        EXPECT_FALSE(MeshGeometry::Sphere(c[0], c[1], 1, 1, 1, nullptr, g)) << c[0] << "x" << c[1];
        EXPECT_EQ(g.mesh.VertexCount(), 0u);
    }
}

TEST(MeshGeometryTest, SphereNoiseScalesEveryPositionByItsTextureCoordinate) {
    MeshGeometry plain, rough;
    ASSERT_TRUE(MeshGeometry::Sphere(4, 6, 1, 1, 1, nullptr, plain));
    ASSERT_TRUE(MeshGeometry::Sphere(
        4, 6, 1, 1, 1, [](float u, float v) { return 1.0f + u + 2.0f * v; }, rough));
    ASSERT_EQ(plain.mesh.VertexCount(), rough.mesh.VertexCount());
    for (u32 i = 0; i < plain.mesh.VertexCount(); ++i) {
        const ModelVertex& p = plain.mesh.vertices[i];
        ExpectNear(rough.mesh.vertices[i].position, p.position * (1.0f + p.texCoord.x + 2.0f * p.texCoord.y));
    }
    D3DXVECTOR3 center, extent;  // bounds are taken after the scaling
    rough.mesh.ComputeBounds(center, extent);
    ExpectNear(rough.extent, extent);
    ExpectNear(rough.center, center);
    EXPECT_GT(rough.extent.y, 2.0f);
}

TEST(MeshGeometryTest, ConeBaseAndSidesOfAFlatConeFaceOppositeWays) {
    MeshGeometry g;
    ASSERT_TRUE(MeshGeometry::Cone(8, 2, 0, g));
    EXPECT_EQ(g.mesh.VertexCount(), 10u);
    EXPECT_EQ(g.mesh.IndexCount(), 48u);
    ExpectIndicesInRange(g);
    for (size_t t = 0; t < 8; ++t) {
        const D3DXVECTOR3 base = FaceCross(g.mesh, t), side = FaceCross(g.mesh, t + 8);
        EXPECT_LT(base.y, 0.0f);
        EXPECT_GT(side.y, 0.0f);
        EXPECT_NEAR(base.x, 0.0f, 1e-5f);
        EXPECT_NEAR(side.z, 0.0f, 1e-5f);
    }
    EXPECT_FALSE(MeshGeometry::Cone(0, 1, 1, g));
    EXPECT_FALSE(MeshGeometry::Cone(-1, 1, 1, g));
    ASSERT_TRUE(MeshGeometry::Cone(1, 1, 1, g));
    EXPECT_EQ(g.mesh.VertexCount(), 3u);
}

TEST(MeshGeometryTest, CubeFacesPointOutward) {
    MeshGeometry g;
    MeshGeometry::Cube(g);
    EXPECT_EQ(g.mesh.VertexCount(), 8u);
    EXPECT_EQ(g.mesh.IndexCount(), 36u);
    for (size_t t = 0; t < 12; ++t) {
        const D3DXVECTOR3 eye = Centroid(g.mesh, t) * 10.0f;
        EXPECT_TRUE(FrontFacingFrom(g.mesh, t, eye)) << "triangle " << t;
    }
    ExpectNear(g.extent, D3DXVECTOR3(1, 1, 1));
    for (const ModelVertex& v : g.mesh.vertices) {
        EXPECT_GT(D3DXVec3Dot(&v.normal, &v.position), 0.0f);
    }
}

TEST(MeshGeometryTest, SkyboxCubeEveryFaceIsFrontFacingFromInside) {
    MeshGeometry g;
    MeshGeometry::SkyboxCube(g);
    ASSERT_EQ(g.mesh.IndexCount(), 36u);
    int facesSeen[3][2] = {};
    for (size_t t = 0; t < 12; ++t) {
        EXPECT_TRUE(FrontFacingFrom(g.mesh, t, D3DXVECTOR3(0, 0, 0))) << "triangle " << t;
        EXPECT_TRUE(FrontFacingFrom(g.mesh, t, D3DXVECTOR3(0.3f, -0.5f, 0.9f))) << "triangle " << t;
        const D3DXVECTOR3 c = Centroid(g.mesh, t);
        const float axis[3] = {c.x, c.y, c.z};
        for (int a = 0; a < 3; ++a) {
            if (std::fabs(std::fabs(axis[a]) - 1.0f) < 1e-6f) ++facesSeen[a][axis[a] > 0];
        }
    }
    for (int a = 0; a < 3; ++a) {
        EXPECT_EQ(facesSeen[a][0], 2) << "axis " << a;
        EXPECT_EQ(facesSeen[a][1], 2) << "axis " << a;
    }
    ExpectNear(g.extent, D3DXVECTOR3());
}

TEST(MeshGeometryTest, QuadFacesAnEyeLookingDownZAndHasNoBounds) {
    MeshGeometry g;
    MeshGeometry::Quad(2, 3, g);
    EXPECT_EQ(g.mesh.VertexCount(), 4u);
    EXPECT_EQ(g.mesh.IndexCount(), 6u);
    for (size_t t = 0; t < 2; ++t) EXPECT_TRUE(FrontFacingFrom(g.mesh, t, D3DXVECTOR3(0, 0, 0)));
    ExpectNear(g.mesh.vertices[3].position, D3DXVECTOR3(2, -3, 1));
    ExpectNear(g.center, D3DXVECTOR3());
    ExpectNear(g.extent, D3DXVECTOR3());
}

TEST(MeshGeometryTest, LineMeshesAreUnindexedWithLineCounts) {
    MeshGeometry g;
    MeshGeometry::Panel(1, 0.5f, g);
    EXPECT_FALSE(g.indexed);
    EXPECT_EQ(g.mesh.VertexCount(), 8u);
    EXPECT_EQ(g.triangleCount, 4u);
    EXPECT_EQ(g.topology, MeshGeometry::kLineList);
    ExpectNear(g.mesh.vertices[0].position, D3DXVECTOR3(-2, 1, 0));
    ExpectNear(g.mesh.vertices[7].position, D3DXVECTOR3(-2, 1, 0));
    ExpectNear(g.extent, D3DXVECTOR3());

    MeshGeometry::Grid(2, g);
    EXPECT_EQ(g.mesh.VertexCount(), 606u);
    EXPECT_EQ(g.triangleCount, 303u);
    ExpectNear(g.mesh.vertices[1].position, D3DXVECTOR3(0, 0, 200));

    MeshGeometry::SplineLine({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}, g);
    EXPECT_EQ(g.topology, MeshGeometry::kLineStrip);
    EXPECT_EQ(g.triangleCount, 2u);
    MeshGeometry::SplineLine({}, g);
    EXPECT_EQ(g.triangleCount, 0u);
}

TEST(MeshGeometryTest, DebugSphereIsTheTenByTenSphereAsLines) {
    MeshGeometry g;
    MeshGeometry::DebugSphere(3, g);
    EXPECT_EQ(g.topology, MeshGeometry::kLineList);
    EXPECT_EQ(g.mesh.VertexCount(), 92u);
    EXPECT_NEAR(g.extent.x, 3.0f, 0.05f);
}

TEST(MeshGeometryTest, TunnelRingsSeamsAndInwardFaces) {
    const std::vector<MeshGeometry::TunnelFrame> three = {
        {{0, 0, 0}, {0, 0, 1}, {1, 0, 0}}, {{0, 0, 10}, {0, 0, 1}, {1, 0, 0}}, {{0, 0, 20}, {0, 0, 1}, {1, 0, 0}}};
    const std::vector<MeshGeometry::TunnelFrame> two(three.begin(), three.begin() + 2);
    const int s = 6;
    MeshGeometry g;
    ASSERT_TRUE(MeshGeometry::Tunnel(two, s, 2, g));
    EXPECT_EQ(g.mesh.VertexCount(), 2u * (s + 1));
    EXPECT_EQ(g.mesh.IndexCount(), 6u * s);

    ASSERT_TRUE(MeshGeometry::Tunnel(three, s, 2, g));
    EXPECT_EQ(g.mesh.VertexCount(), 4u * (s + 1));
    EXPECT_EQ(g.mesh.IndexCount(), 12u * s);
    ExpectIndicesInRange(g);
    // The middle frame's ring comes twice: v = 1 ending segment 0, v = 0 starting segment 1.
    for (int k = 0; k <= s; ++k) {
        const ModelVertex& a = g.mesh.vertices[(s + 1) + k];
        const ModelVertex& b = g.mesh.vertices[2 * (s + 1) + k];
        ExpectNear(a.position, b.position);
        EXPECT_EQ(a.texCoord.y, 1.0f);
        EXPECT_EQ(b.texCoord.y, 0.0f);
    }
    ExpectNear(g.mesh.vertices[s].position, g.mesh.vertices[0].position);  // seam
    EXPECT_EQ(g.mesh.vertices[s].texCoord.x, 1.0f);
    for (size_t t = 0; t < g.triangleCount; ++t) {
        const D3DXVECTOR3 c = Centroid(g.mesh, t);
        EXPECT_TRUE(FrontFacingFrom(g.mesh, t, D3DXVECTOR3(0, 0, c.z))) << "triangle " << t;
    }
    ExpectNear(g.center, D3DXVECTOR3(0, 0, 0));
    EXPECT_NEAR(g.extent.z, 20.0f, 1e-4f);
    EXPECT_NEAR(g.extent.x, 4.0f, 1e-4f);

    EXPECT_FALSE(MeshGeometry::Tunnel({three[0]}, s, 2, g));
    EXPECT_FALSE(MeshGeometry::Tunnel(three, 0, 2, g));
    EXPECT_EQ(g.mesh.VertexCount(), 0u);
}

TEST(MeshGeometryTest, ComputeNormalsAddsUnitFaceNormalsUnweighted) {
    // A big triangle facing -z and a tiny one facing +x share vertex 0.
    ModelCpuMesh m;
    m.vertices.resize(5);
    m.vertices[0].position = {0, 0, 0};
    m.vertices[1].position = {0, 100, 0};
    m.vertices[2].position = {100, 0, 0};
    m.vertices[3].position = {0, 0.01f, 0};
    m.vertices[4].position = {0, 0, -0.01f};
    m.indices = {0, 1, 2, 0, 3, 4, 0, 9, 1};  // the last triangle names a vertex that is not there
    MeshGeometry::ComputeNormals(m);
    const float h = 1.0f / std::sqrt(2.0f);
    ExpectNear(m.vertices[0].normal, D3DXVECTOR3(-h, 0, -h));
    ExpectNear(m.vertices[2].normal, D3DXVECTOR3(0, 0, -1));
}
