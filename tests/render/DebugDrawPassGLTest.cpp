// The debug drawing pass on a real device: lines of list B lie over
// everything, lines of list A are hidden behind nearer depth, spheres and
// highlighted objects are drawn, and everything is emptied after the frame.
#include <gtest/gtest.h>

#include "engine/GameObject.h"
#include "engine/Transform.h"
#include "port/gpu/GpuDepthStencilView.h"
#include "port/gpu/GpuDevice.h"
#include "render/debug/DebugDrawPass.h"
#include "render/frame/GraphicsSystem.h"
#include "render/frame/RenderDevice.h"
#include "render/mesh/MeshBuilder.h"
#include "render/mesh/Model.h"
#include "tests/render/GraphicsTestRig.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

class DebugDrawPassGLTest : public GraphicsTestRig {
protected:
    void SetUp() override {
        graphics = new GraphicsSystem;
        engine->AddSystem(graphics);
        OpenWindow(kWidth, kHeight);
        SendToSystem(kMsgClearFullScreen, graphics->GetTypeId(), 0);
        graphics->Init();
        ASSERT_NE(graphics->GetDevice(), nullptr);
        D3DXMatrixIdentity(&frame.view);  // world = clip space: x, y in -1..1, depth z
        D3DXMatrixIdentity(&frame.projection);
        D3DXMatrixIdentity(&frame.viewProjection);
        D3DXMatrixIdentity(&frame.screenView);
        D3DXMatrixIdentity(&frame.screenProjection);
    }
    void TearDown() override {
        renderDevice.SetDevice(nullptr);
        GraphicsTestRig::TearDown();
    }
    // Clears the back buffer to black and the depth buffer to `depth`.
    void ClearTo(float depth) {
        const float black[4] = {0, 0, 0, 1};
        GpuDevice* device = graphics->GetDevice();
        device->ClearRenderTargetView(graphics->GetTargets().backBuffer.get(), black);
        device->ClearDepthStencilView(graphics->GetTargets().depthStencil.get(), GpuClearDepth | GpuClearStencil, depth,
                                      0);
    }
    void SendLine(const Kind<DebugLine>& kind, float x, const D3DXCOLOR& colour) {
        DebugLine line;
        line.start = D3DXVECTOR3(x, -0.9f, 0.5f);
        line.end = D3DXVECTOR3(x, 0.9f, 0.5f);
        line.colour = colour;
        SendToSystem(kind, graphics->GetTypeId(), 0, line);
    }
    void DrawPass() {
        const FrameRecorder noRecorder;
        pass.Draw(FrameContext(*graphics, *graphics->GetDevice(), frame, noRecorder));
    }
    // Whether any texel of column x (rows 40 to 200) has a bright channel c.
    bool ColumnLit(int x, int channel) {
        std::vector<u8> bytes;
        graphics->GetTargets().backBuffer->Texture()->ReadBack(0, &bytes);
        for (int y = 40; y < 200; ++y)
            for (int dx = -1; dx <= 1; ++dx)
                if (bytes[(static_cast<size_t>(y) * kWidth + static_cast<size_t>(x + dx)) * 4 + channel] > 200)
                    return true;
        return false;
    }

    GraphicsSystem* graphics = nullptr;
    RenderDevice renderDevice;
    DebugDrawPass pass;
    FrameMatrices frame;
};

}  // namespace

TEST_F(DebugDrawPassGLTest, ListBShowsThroughNearerDepthAndListAIsHidden) {
    ClearTo(0.0f);  // everything already drawn is nearer than the lines
    SendLine(kMsgDebugLineA, -0.5f, D3DXCOLOR(1, 0, 0, 1));
    SendLine(kMsgDebugLineB, 0.5f, D3DXCOLOR(0, 1, 0, 1));
    DrawPass();
    EXPECT_FALSE(ColumnLit(80, 0));  // list A, red, at x = -0.5
    EXPECT_TRUE(ColumnLit(240, 1));  // list B, green, at x = +0.5
    EXPECT_EQ(graphics->GetLists().linesA.Count(), 0u);
    EXPECT_EQ(graphics->GetLists().linesB.Count(), 0u);

    ClearTo(1.0f);
    SendLine(kMsgDebugLineA, -0.5f, D3DXCOLOR(1, 0, 0, 1));
    DrawPass();
    EXPECT_TRUE(ColumnLit(80, 0));
    EXPECT_FALSE(ColumnLit(240, 1));  // last frame's lines are gone
}

TEST_F(DebugDrawPassGLTest, SpheresAndHighlightsAreDrawnOnceAndEmptied) {
    renderDevice.SetDevice(graphics->GetDevice()->shared_from_this());
    ClearTo(1.0f);
    DebugSphereRecord sphere;
    sphere.centre = D3DXVECTOR3(-0.5f, 0, 0.5f);
    sphere.radius = 0.3f;
    sphere.colour = D3DXCOLOR(0, 0, 1, 1);
    SendToSystem(kMsgDebugSphere, graphics->GetTypeId(), 0, sphere);

    auto* object = new GameObject();
    auto* transform = new Transform();
    transform->position = D3DXVECTOR3(0.5f, 0, 0.5f);
    transform->scale = 0.3f;
    object->AddComponent(transform);
    transform->Init();
    object->AddComponent(MeshBuilder::Cube());
    SendToSystem(kMsgHighlightObject, graphics->GetTypeId(), 0, object->GetId());

    DrawPass();
    EXPECT_NE(pass.DebugSphereObject(), 0u);
    EXPECT_TRUE(ColumnLit(80, 2));   // the wire sphere in blue
    EXPECT_TRUE(ColumnLit(240, 0));  // the highlighted cube in red wireframe
    EXPECT_TRUE(graphics->GetLists().spheres.empty());
    EXPECT_TRUE(graphics->GetLists().highlights.empty());
    const u32 sphereObject = pass.DebugSphereObject();
    SendToSystem(kMsgDebugSphere, graphics->GetTypeId(), 0, sphere);
    DrawPass();
    EXPECT_EQ(pass.DebugSphereObject(), sphereObject);  // built once
}
