#include <gtest/gtest.h>

#include "RenderTestSupport.h"
#include "engine/Engine.h"
#include "engine/Transform.h"
#include "render/debug/DebugRecords.h"
#include "render/light/Skybox.h"
#include "render/mesh/Material.h"
#include "render/mesh/Model.h"

class GraphicsSystem;

namespace {

// Stands in for the renderer: records the debug lines sent to it.
class LineSink : public RecordingSystem {
public:
    LineSink() : RecordingSystem(TypeId<GraphicsSystem>::Get()) {}
    void HandleMessage(Message* m) override {
        RecordingSystem::HandleMessage(m);
        if (const DebugLine* line = m->Read(kMsgDebugLineA)) lines.push_back(*line);
    }
    std::vector<DebugLine> lines;
};

class ModelTest : public RenderFixture {
protected:
    void SetUp() override {
        sink = new LineSink;
        engine.AddSystem(sink);
    }
    Engine engine;
    LineSink* sink = nullptr;
};

// A stand-in view pointer; Material never looks behind it.
GpuShaderResourceView* FakeView(int n) {
    return reinterpret_cast<GpuShaderResourceView*>(0x1000 * n);
}

}  // namespace

TEST_F(ModelTest, CloneCopiesMeshButDrawsTrianglesAgain) {
    Model source;
    source.filename = "ship";
    source.material.glowFileName = "ship.glow";
    source.vertexCount = 12;
    source.triangleCount = 4;
    source.stride = 32;
    source.topology = 2;  // a builder's line list
    source.center = D3DXVECTOR3(1, 2, 3);
    source.extent = D3DXVECTOR3(4, 5, 6);
    source.DrawBounds(D3DXCOLOR(1, 1, 1, 1));
    ASSERT_NE(source.boxLines, nullptr);

    std::unique_ptr<IComponent> cloned(source.Clone());
    auto* copy = static_cast<Model*>(cloned.get());
    EXPECT_NE(copy->GetId(), source.GetId());
    EXPECT_EQ(copy->GetTypeId(), TypeId<Model>::Get());
    EXPECT_EQ(copy->GetOwner(), 0u);
    EXPECT_EQ(copy->filename, "ship");
    EXPECT_EQ(copy->material.glowFileName, "ship.glow");
    EXPECT_EQ(copy->vertexCount, 12u);
    EXPECT_EQ(copy->topology, 4u);
    EXPECT_EQ(copy->extent, D3DXVECTOR3(4, 5, 6));
    EXPECT_EQ(copy->boxLines, nullptr);
}

TEST_F(ModelTest, DrawBoundsSendsTwelveEdgesThroughTheOwnersWorldMatrix) {
    auto* object = new GameObject();
    auto* transform = new Transform();
    transform->position = D3DXVECTOR3(10, 0, 0);
    transform->scale = 2.0f;
    object->AddComponent(transform);
    transform->Init();
    auto* model = new Model;
    model->center = D3DXVECTOR3(0, 1, 0);
    model->extent = D3DXVECTOR3(1, 1, 1);
    object->AddComponent(model);

    model->DrawBounds(D3DXCOLOR(0, 1, 1, 1));
    ASSERT_EQ(sink->lines.size(), 12u);
    for (u32 type : sink->types) EXPECT_EQ(type, 2u);
    for (u32 argument : sink->arguments) EXPECT_EQ(argument, 6u);
    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
    for (const DebugLine& line : sink->lines) {
        const D3DXVECTOR3 d = line.end - line.start;
        EXPECT_NEAR(D3DXVec3Length(&d), 4.0f, 1e-5f);  // each edge 2 long, scaled by 2
        EXPECT_EQ(line.colour.g, 1.0f);
        for (const D3DXVECTOR3& p : {line.start, line.end}) {
            minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
            minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
        }
    }
    EXPECT_FLOAT_EQ(minX, 8.0f);
    EXPECT_FLOAT_EQ(maxX, 12.0f);
    EXPECT_FLOAT_EQ(minY, 0.0f);
    EXPECT_FLOAT_EQ(maxY, 4.0f);

    // The edges are made once: later bounds changes do not move them.
    sink->lines.clear();
    model->extent = D3DXVECTOR3(5, 5, 5);
    model->DebugDraw();
    ASSERT_EQ(sink->lines.size(), 12u);
    const D3DXVECTOR3 d = sink->lines[0].end - sink->lines[0].start;
    EXPECT_NEAR(D3DXVec3Length(&d), 4.0f, 1e-5f);
    EXPECT_EQ(sink->lines[0].colour.r, 1.0f);  // DebugDraw is white
}

TEST_F(ModelTest, DrawBoundsWithoutTransformUsesModelSpace) {
    Model model;
    model.extent = D3DXVECTOR3(1, 2, 3);
    model.DrawBounds(D3DXCOLOR(1, 0, 0, 1));
    ASSERT_EQ(sink->lines.size(), 12u);
    float maxZ = -1e9f;
    for (const DebugLine& line : sink->lines) maxZ = std::max({maxZ, line.start.z, line.end.z});
    EXPECT_FLOAT_EQ(maxZ, 3.0f);
}

TEST_F(ModelTest, InitWithoutAFileLeavesNoMesh) {
    Model model;
    model.filename = "nowhere";
    model.Init();
    EXPECT_EQ(model.vertexBuffer, nullptr);
    EXPECT_EQ(model.cacheEntry, nullptr);
    EXPECT_EQ(model.vertexCount, 0u);
}

TEST_F(ModelTest, SkyboxBuildsItsCubeWithoutAModelFile) {
    Skybox skybox;
    skybox.filename = "nothere.dds";
    skybox.Init();
    EXPECT_EQ(skybox.triangleCount * 3, 36u);
    EXPECT_EQ(skybox.cacheEntry, nullptr);
}

TEST(MaterialTest, LockedSlotKeepsItsViewAndClearedNameEmptiesTheSlot) {
    Material m;
    EXPECT_EQ(m.tileFactor, D3DXVECTOR2(1, 1));
    m.diffuse = FakeView(1);
    m.diffuseLoaded = "rock";
    m.diffuseFileName = "rock";
    m.glow = FakeView(2);
    m.glowLoaded = "noise";
    m.glowLocked = true;
    m.glowFileName = "other";

    Material::LoadTextures(m);  // unchanged name: nothing to do
    EXPECT_EQ(m.diffuse, FakeView(1));
    EXPECT_EQ(m.glow, FakeView(2));  // locked
    EXPECT_EQ(m.glowLoaded, "noise");

    m.diffuseFileName.clear();
    Material::LoadTextures(m);
    EXPECT_EQ(m.diffuse, nullptr);
    EXPECT_EQ(m.diffuseLoaded, "");
}

TEST(MaterialTest, ResolveTexturesCopiesAndLooksUpEverySlot) {
    Material source;
    source.normalFileName = "n";
    source.tileFactor = D3DXVECTOR2(2, 3);
    source.glowLocked = true;
    Material target;
    target.diffuse = FakeView(3);
    Material::ResolveTextures(target, source);
    EXPECT_EQ(target.normalFileName, "n");
    EXPECT_EQ(target.tileFactor, D3DXVECTOR2(2, 3));
    EXPECT_EQ(target.diffuse, nullptr);  // looked up again: no texture cache here
    EXPECT_TRUE(target.glowLocked);
}
