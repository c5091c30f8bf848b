#include <gtest/gtest.h>

#include "RenderTestSupport.h"
#include "render/mesh/Material.h"
#include "render/mesh/MeshBuilder.h"
#include "render/mesh/Model.h"
#include "render/mesh/NoiseGrid.h"

namespace {

class MeshBuilderTest : public RenderFixture {};

}  // namespace

TEST_F(MeshBuilderTest, BuildersFillNewModelsWithCountsTopologyAndBounds) {
    std::unique_ptr<Model> sphere(MeshBuilder::Sphere(10, 10, 1, 1, 1));
    ASSERT_NE(sphere, nullptr);
    EXPECT_EQ(sphere->vertexCount, 92u);
    EXPECT_EQ(sphere->triangleCount, 180u);
    EXPECT_EQ(sphere->stride, 32u);
    EXPECT_EQ(sphere->offset, 0u);
    EXPECT_EQ(sphere->topology, 4u);
    EXPECT_NEAR(sphere->extent.y, 1.0f, 1e-4f);
    EXPECT_EQ(sphere->cacheEntry, nullptr);

    std::unique_ptr<Model> cone(MeshBuilder::Cone(8, 2, 0));
    EXPECT_EQ(cone->vertexCount, 10u);
    EXPECT_EQ(cone->triangleCount, 16u);

    std::unique_ptr<Model> grid(MeshBuilder::Grid(1, D3DXCOLOR(1, 1, 1, 1)));
    EXPECT_EQ(grid->vertexCount, 606u);
    EXPECT_EQ(grid->triangleCount, 303u);
    EXPECT_EQ(grid->topology, 2u);
    EXPECT_EQ(grid->indexBuffer, nullptr);

    std::unique_ptr<Model> quad(MeshBuilder::Quad(2, 2, D3DXCOLOR(1, 0, 0, 1)));
    std::unique_ptr<Model> panel(MeshBuilder::Panel(2, 2, D3DXCOLOR(1, 1, 0, 1)));
    EXPECT_EQ(quad->extent, D3DXVECTOR3());
    EXPECT_EQ(panel->extent, D3DXVECTOR3());
    EXPECT_EQ(panel->topology, 2u);
    std::unique_ptr<Model> square(MeshBuilder::Square(D3DXCOLOR(1, 1, 1, 1)));
    EXPECT_EQ(square->vertexCount, 4u);
}

TEST_F(MeshBuilderTest, CountsBelowTheMinimumGiveNoModel) {
    EXPECT_EQ(MeshBuilder::Sphere(1, 10, 1, 1, 1), nullptr);
    EXPECT_EQ(MeshBuilder::Sphere(10, 1, 1, 1, 1), nullptr);
    EXPECT_EQ(MeshBuilder::Sphere(0, 0, 1, 1, 1), nullptr);
    EXPECT_EQ(MeshBuilder::Cone(0, 1, 1), nullptr);
    EXPECT_EQ(MeshBuilder::Tunnel({}, 6, 1, Material()), nullptr);
    const std::vector<MeshGeometry::TunnelFrame> frames = {{{0, 0, 0}, {0, 0, 1}, {1, 0, 0}},
                                                           {{0, 0, 5}, {0, 0, 1}, {1, 0, 0}}};
    EXPECT_EQ(MeshBuilder::Tunnel(frames, 0, 1, Material()), nullptr);
}

TEST_F(MeshBuilderTest, CountsTooLargeForAMeshGiveNoModelInsteadOfExhaustingMemory) {
    EXPECT_EQ(MeshBuilder::Sphere(100000, 100000, 1, 1, 1), nullptr);
    EXPECT_EQ(MeshBuilder::Sphere(2147483647, 2147483647, 1, 1, 1), nullptr);  // counts that overflow 32 bits
    EXPECT_EQ(MeshBuilder::Cone(2147483647, 1, 1), nullptr);
    const std::vector<MeshGeometry::TunnelFrame> frames = {{{0, 0, 0}, {0, 0, 1}, {1, 0, 0}},
                                                           {{0, 0, 5}, {0, 0, 1}, {1, 0, 0}}};
    EXPECT_EQ(MeshBuilder::Tunnel(frames, 1000000000, 1, Material()), nullptr);
    std::unique_ptr<Model> largest(MeshBuilder::Sphere(1024, 1024, 1, 1, 1));  // what a Primitive may ask
    ASSERT_NE(largest, nullptr);
    EXPECT_EQ(largest->vertexCount, 1023u * 1024u + 2u);
}

TEST_F(MeshBuilderTest, NoiseGridRoughensTheSphere) {
    NoiseGrid grid(4, 4);
    for (float& v : grid.values) v = 1.5f;
    std::unique_ptr<Model> plain(MeshBuilder::Sphere(6, 6, 1, 1, 1));
    std::unique_ptr<Model> rough(MeshBuilder::Sphere(6, 6, 1, 1, 1, &grid));
    EXPECT_NEAR(rough->extent.y, plain->extent.y * NoiseGrid::SampleCosine(&grid, 0, 0), 1e-4f);
}

TEST_F(MeshBuilderTest, DebugSphereTunnelAndSkyboxCube) {
    std::unique_ptr<Model> debug(MeshBuilder::DebugSphere(2, D3DXCOLOR(1, 0, 0, 1)));
    EXPECT_EQ(debug->filename, "DEBUGSPHERE");
    EXPECT_EQ(debug->topology, 2u);
    EXPECT_EQ(debug->triangleCount, 180u);

    Material material;
    material.diffuseFileName = "tunnel";
    material.tileFactor = D3DXVECTOR2(4, 1);
    const std::vector<MeshGeometry::TunnelFrame> frames = {{{0, 0, 0}, {0, 0, 1}, {1, 0, 0}},
                                                           {{0, 0, 5}, {0, 0, 1}, {1, 0, 0}}};
    std::unique_ptr<Model> tunnel(MeshBuilder::Tunnel(frames, 8, 3, material));
    ASSERT_NE(tunnel, nullptr);
    EXPECT_EQ(tunnel->vertexCount, 18u);
    EXPECT_EQ(tunnel->material.diffuseFileName, "tunnel");
    EXPECT_EQ(tunnel->material.tileFactor, D3DXVECTOR2(4, 1));

    Model sky;
    sky.filename = "stars";
    MeshBuilder::SkyboxCube(sky);
    EXPECT_EQ(sky.vertexCount, 8u);
    EXPECT_EQ(sky.triangleCount, 12u);
    EXPECT_EQ(sky.filename, "stars");
}
