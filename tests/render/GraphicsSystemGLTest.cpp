// The GraphicsSystem's device side on a real (offscreen) window: targets at
// the window size, what Init leaves to FinishStart, a minimised window as
// 1 x 1, one projection broadcast per resize before the targets are remade,
// full-screen messages, the random vectors, and a renderer that keeps running
// without a broken effect.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "port/gpu/GpuDevice.h"
#include "port/gpu/GpuSwapChain.h"
#include "port/os/CRand.h"
#include "port/window/WindowTestInput.h"
#include "render/frame/GraphicsSystem.h"
#include "render/frame/RenderDevice.h"
#include "scene/ObjectFactory.h"
#include "tests/render/GraphicsTestRig.h"
#include "tests/support/IgnoresFullScreen.h"
#include "tests/support/LogCapture.h"

namespace fs = std::filesystem;

namespace {

// Records every projection broadcast and what the targets looked like then.
class ProjectionProbe : public ISystem {
public:
    static constexpr u32 kTypeId = 900;  // below the tests' counter, clear of drawn type ids
    explicit ProjectionProbe(GraphicsSystem* graphics) : ISystem(kTypeId), graphics_(graphics) {
        Subscribe(kMsgProjectionMatrix);
    }
    void HandleMessage(Message* m) override {
        const D3DXMATRIX* const* projection = m->Read(kMsgProjectionMatrix);
        if (!projection) return;
        targetWidthsSeen.push_back(graphics_->GetTargets().width);
        ASSERT_NE(*projection, nullptr);
        last = **projection;
    }

    std::vector<u32> targetWidthsSeen;
    D3DXMATRIX last;

private:
    GraphicsSystem* graphics_;
};

class GraphicsSystemGLTest : public GraphicsTestRig {
protected:
    // windowed: clear the full-screen flag first, so the targets keep the
    // window's size (full screen takes the desktop's). finish: also what
    // Init leaves for later (GraphicsSystem::FinishStart).
    void Start(int width = 320, int height = 240, bool windowed = true, bool finish = true) {
        graphics = new GraphicsSystem;
        probe = new ProjectionProbe(graphics);
        engine->AddSystem(graphics);
        engine->AddSystem(probe);
        OpenWindow(width, height);
        if (windowed) Send(kMsgClearFullScreen);
        graphics->Init();
        if (finish) graphics->FinishStart();
    }
    void Pump() {
        WindowEvent event;
        while (window->PollEvent(&event)) {
        }
    }
    void Resized() { ::Broadcast(kMsgClientRect, 0, window->GetClientRect()); }
    void Send(const Kind<NoPayload>& kind) { SendToSystem(kind, graphics->GetTypeId(), 0); }
    // The random-vector texture's 1024 texels of four floats; empty without it.
    std::vector<float> RandomVectorTexels() const {
        GpuShaderResourceView* vectors = graphics->GetRandomVectors();
        std::vector<std::uint8_t> bytes;
        if (!vectors || !vectors->Texture()->ReadBack(0, &bytes) || bytes.size() != 1024u * 16) return {};
        std::vector<float> texels(1024 * 4);
        std::memcpy(texels.data(), bytes.data(), bytes.size());
        return texels;
    }

    GraphicsSystem* graphics = nullptr;
    ProjectionProbe* probe = nullptr;
};

void ExpectSize(const ColourTarget& target, u32 w, u32 h) {
    ASSERT_TRUE(target.Valid());
    EXPECT_EQ(target.texture->GetDesc().width, w);
    EXPECT_EQ(target.texture->GetDesc().height, h);
}

TEST_F(GraphicsSystemGLTest, TargetsStatesAndLayoutsExistAtTheWindowSize) {
    RenderDevice particles;
    Start(320, 240);
    ASSERT_NE(graphics->GetDevice(), nullptr);
    EXPECT_EQ(particles.GetDevice(), graphics->GetDevice());
    EXPECT_EQ(resources->GetDevice(), graphics->GetDevice());
    EXPECT_EQ(loader->GetDevice(), graphics->GetDevice());
    const RenderTargets& t = graphics->GetTargets();
    EXPECT_EQ(graphics->GetWidth(), 320);
    EXPECT_EQ(graphics->GetHeight(), 240);
    ASSERT_TRUE(t.backBuffer);
    EXPECT_EQ(t.backBuffer->Texture()->GetDesc().width, 320u);
    for (const ColourTarget* target : {&t.normals, &t.diffuseSpec, &t.glow, &t.stagedBlur, &t.light, &t.ssao})
        ExpectSize(*target, 320, 240);
    EXPECT_EQ(t.normals.texture->GetDesc().format, GpuFormat::R8G8B8A8_UNORM);
    EXPECT_EQ(t.ssao.texture->GetDesc().format, GpuFormat::R8_UNORM);
    ASSERT_TRUE(t.depthTexture && t.depthStencil && t.depthView);
    EXPECT_EQ(t.depthTexture->GetDesc().format, GpuFormat::R24G8_TYPELESS);
    ASSERT_TRUE(t.depthOnState && t.depthOffState && t.wireframeState);
    EXPECT_TRUE(t.depthOnState->desc.stencilEnable);
    EXPECT_EQ(t.depthOnState->desc.frontFace.depthFailOp, GpuStencilOp::Incr);
    EXPECT_EQ(t.depthOnState->desc.backFace.depthFailOp, GpuStencilOp::Decr);
    EXPECT_FALSE(t.depthOffState->desc.depthEnable);
    EXPECT_EQ(t.wireframeState->desc.fill, GpuFill::Wireframe);
    EXPECT_TRUE(graphics->GetFrameResources().geometryLayout);
    EXPECT_TRUE(graphics->GetFrameResources().lightLayout);
    EXPECT_TRUE(graphics->GetFrameResources().particleStreamLayout);
    EXPECT_TRUE(graphics->GetFrameResources().particleDrawLayout);
    EXPECT_EQ(graphics->GetFrameResources().lineBuffer->GetDesc().byteWidth, 320000u);
    EXPECT_EQ(graphics->GetFrameResources().lightInstanceBuffer->GetDesc().byteWidth, 56000u);
    D3DXMATRIX expected;
    D3DXMatrixPerspectiveFovLH(&expected, 0.785398185f, 320.0f / 240.0f, 1.0f, 2000.0f);
    EXPECT_EQ(0, std::memcmp(&expected, &graphics->GetProjection(), sizeof expected));
    EXPECT_NE(graphics->GetActiveCameraId(), 0u);
    // The asset tree's random normals and particle masks are bound.
    EXPECT_NE(graphics->GetEffects().Variable(EffectVarId::RandomNormals)->GetResource(), nullptr);
    EXPECT_NE(graphics->GetEffects().Variable(EffectVarId::particleAlphaTexture)->GetResource(), nullptr);
    graphics->Update(0.0f);  // clears and presents without complaint
    EXPECT_EQ(graphics->GetDevice()->DrainErrors(), 0u);
}

// Init makes only what a picture without models, lights or particles draws
// with; the deferred steps' effects, layouts, targets and textures come with
// FinishStart, at the picture size of that moment, and follow every resize
// after it.
TEST_F(GraphicsSystemGLTest, InitLeavesTheDeferredStepsResourcesToFinishStart) {
    Start(320, 240, true, false);
    const RenderTargets& t = graphics->GetTargets();
    const EffectTable& effects = graphics->GetEffects();
    const ColourTarget* const deferred[] = {&t.normals, &t.diffuseSpec, &t.glow,          &t.stagedBlur,
                                            &t.light,   &t.ssao,        &t.lightPosition, &t.lightNormal};
    ASSERT_TRUE(t.backBuffer && t.depthTexture && t.depthStencil && t.depthView);
    ASSERT_TRUE(t.depthOnState && t.depthOffState && t.wireframeState);
    for (const ColourTarget* target : deferred) EXPECT_FALSE(target->Valid());
    EXPECT_TRUE(effects.Effect(EffectId::UIShader));
    EXPECT_FALSE(effects.Effect(EffectId::DeferredShader));
    EXPECT_FALSE(effects.Effect(EffectId::ParticleIntegration));
    EXPECT_TRUE(graphics->GetFrameResources().geometryLayout);
    EXPECT_FALSE(graphics->GetFrameResources().lightLayout);
    EXPECT_FALSE(graphics->GetFrameResources().particleStreamLayout);
    EXPECT_FALSE(graphics->GetRandomVectors());
    EXPECT_FALSE(graphics->StartFinished());

    window->SetClientSize(200, 100);
    Pump();
    Resized();
    EXPECT_FALSE(t.normals.Valid());
    graphics->FinishStart();
    EXPECT_TRUE(graphics->StartFinished());
    for (const ColourTarget* target : deferred) ExpectSize(*target, 200, 100);
    EXPECT_TRUE(effects.Technique(TechniqueId::CombineDeferred)->IsValid());
    EXPECT_TRUE(effects.Technique(TechniqueId::StreamOutTech)->IsValid());
    EXPECT_TRUE(graphics->GetFrameResources().lightLayout);
    EXPECT_TRUE(graphics->GetFrameResources().particleStreamLayout);
    EXPECT_TRUE(graphics->GetFrameResources().particleDrawLayout);
    EXPECT_NE(effects.Variable(EffectVarId::RandomNormals)->GetResource(), nullptr);
    EXPECT_NE(effects.Variable(EffectVarId::particleAlphaTexture)->GetResource(), nullptr);
    EXPECT_EQ(effects.Variable(EffectVarId::randomTexture)->GetResource(), graphics->GetRandomVectors());
    window->SetClientSize(160, 120);
    Pump();
    Resized();
    for (const ColourTarget* target : deferred) ExpectSize(*target, 160, 120);
    EXPECT_EQ(graphics->GetDevice()->DrainErrors(), 0u);
}

TEST_F(GraphicsSystemGLTest, MinimisedWindowGivesOneByOneTargetsAndTheResizeRow) {
    LogCapture capture;
    Start(320, 240);
    TestPushMinimised();
    Pump();
    Resized();
    EXPECT_EQ(graphics->GetWidth(), 1);
    EXPECT_EQ(graphics->GetHeight(), 1);
    ExpectSize(graphics->GetTargets().light, 1, 1);
    EXPECT_EQ(graphics->GetTargets().depthTexture->GetDesc().width, 1u);
    EXPECT_FLOAT_EQ(probe->last._11 / probe->last._22, 1.0f);  // aspect 1
    graphics->Update(0.0f);
    engine.reset();
    std::vector<std::string> rows;
    FINISH_MESSAGES_OR_SKIP(capture, rows);
    EXPECT_NE(std::find(rows.begin(), rows.end(), "GraphicsSystem::onResize() 320, 240, AR: 1.333333"), rows.end());
    EXPECT_NE(std::find(rows.begin(), rows.end(), "GraphicsSystem::onResize() 1, 1, AR: 1.000000"), rows.end());
}

TEST_F(GraphicsSystemGLTest, EachResizeBroadcastsOneProjectionBeforeTheTargetsAreRemade) {
    Start(320, 240);
    ASSERT_EQ(probe->targetWidthsSeen.size(), 1u);  // the device's first resize
    EXPECT_EQ(probe->targetWidthsSeen[0], 0u);
    window->SetClientSize(200, 100);
    Pump();
    Resized();
    ASSERT_EQ(probe->targetWidthsSeen.size(), 2u);
    EXPECT_EQ(probe->targetWidthsSeen[1], 320u);  // the old targets were still there
    EXPECT_EQ(graphics->GetTargets().width, 200u);
    ExpectSize(graphics->GetTargets().glow, 200, 100);
    EXPECT_FLOAT_EQ(probe->last._22 / probe->last._11, 2.0f);  // aspect 200 / 100
    Resized();
    EXPECT_EQ(probe->targetWidthsSeen.size(), 3u);
}

TEST_F(GraphicsSystemGLTest, FullScreenMessagesToggleSetAndClear) {
    Start(320, 240, false);
    ASSERT_NE(graphics->GetSwapChain(), nullptr);
    EXPECT_TRUE(graphics->GetSwapChain()->GetFullscreenState());  // starts in full screen
    Send(kMsgSetFullScreen);
    Send(kMsgToggleFullScreen);
    EXPECT_FALSE(graphics->IsFullScreen());
    EXPECT_FALSE(graphics->GetSwapChain()->GetFullscreenState());
    Send(kMsgClearFullScreen);
    Send(kMsgToggleFullScreen);
    EXPECT_TRUE(graphics->IsFullScreen());
    EXPECT_TRUE(graphics->GetSwapChain()->GetFullscreenState());
    Send(kMsgToggleFullScreen);
    Send(kMsgToggleFullScreen);
    EXPECT_TRUE(graphics->GetSwapChain()->GetFullscreenState());
}

// On a window system that ignores the full-screen request the picture, the
// back buffer and the copy to the window keep the window's own size.
TEST_F(GraphicsSystemGLTest, FullScreenTheWindowSystemIgnoresKeepsTheWindowsSize) {
    IgnoresFullScreen server(320, 240);
    Start(320, 240, false);  // full screen, as the game starts
    ASSERT_TRUE(graphics->GetSwapChain()->GetFullscreenState());
    Pump();
    Resized();
    EXPECT_EQ(graphics->GetWidth(), 320);
    EXPECT_EQ(graphics->GetHeight(), 240);
    EXPECT_EQ(graphics->GetSwapChain()->GetBuffer()->GetDesc().width, 320u);
    ExpectSize(graphics->GetTargets().glow, 320, 240);
    EXPECT_FLOAT_EQ(probe->last._22 / probe->last._11, 320.0f / 240.0f);
    Send(kMsgClearFullScreen);
}

TEST_F(GraphicsSystemGLTest, RandomVectorsFollowTheCRuntimeSequence) {
    CSRand(1);
    Start(64, 64);
    GpuShaderResourceView* vectors = graphics->GetRandomVectors();
    ASSERT_NE(vectors, nullptr);
    EXPECT_EQ(vectors->Dimension(), GpuSrvDimension::Texture1D);
    const std::vector<float> texels = RandomVectorTexels();
    ASSERT_EQ(texels.size(), 1024u * 4);
    CSRand(1);
    for (float value : texels) {
        ASSERT_GE(value, -1.0f);
        ASSERT_LE(value, 1.0f);
        ASSERT_FLOAT_EQ(value, (static_cast<float>(CRand()) / 32767.0f) * 2.0f - 1.0f);
    }
    EXPECT_EQ(graphics->GetEffects().Variable(EffectVarId::randomTexture)->GetResource(), vectors);
}

// The vectors' numbers are drawn at Init: a caller of the shared sequence
// between Init and FinishStart gets the numbers after them, as when the
// texture was made at Init.
TEST_F(GraphicsSystemGLTest, RandomVectorsKeepTheirPlaceInTheSequenceWhenMadeLater) {
    CSRand(1);
    Start(64, 64, true, false);
    const int later = CRand();
    graphics->FinishStart();
    const std::vector<float> texels = RandomVectorTexels();
    ASSERT_EQ(texels.size(), 1024u * 4);
    CSRand(1);
    for (float value : texels) ASSERT_FLOAT_EQ(value, (static_cast<float>(CRand()) / 32767.0f) * 2.0f - 1.0f);
    EXPECT_EQ(later, CRand());
}

TEST_F(GraphicsSystemGLTest, BrokenEffectIsReportedAndTheRendererGoesOn) {
    const fs::path folder = fs::temp_directory_path() / ("dd_broken_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    for (const char* name : {"DeferredShader", "ParticleIntegration"})
        fs::copy_file(AssetFolder("shader", ".fx").GetFullPath(name), folder / (std::string(name) + ".fx"),
                      fs::copy_options::overwrite_existing);
    std::ofstream(folder / "UIShader.fx") << "techniques = { { name = 'UiTech', passes = { { vs = 'oops(' } } } }";
    FilePath shaders;
    shaders.baseFolder = folder.string() + "/";
    shaders.extension = ".fx";
    loader = std::make_unique<EffectLoader>(shaders);

    testing::internal::CaptureStderr();
    Start();
    const std::string reported = testing::internal::GetCapturedStderr();
    EXPECT_NE(reported.find("UIShader (technique UiTech, pass 0, vertex shader)"), std::string::npos) << reported;
    EXPECT_NE(reported.find("error"), std::string::npos) << reported;
    EXPECT_FALSE(graphics->GetEffects().Effect(EffectId::UIShader));
    EXPECT_FALSE(graphics->GetEffects().Technique(TechniqueId::TextTech)->IsValid());
    EXPECT_TRUE(graphics->GetEffects().Technique(TechniqueId::CombineDeferred)->IsValid());
    EXPECT_TRUE(graphics->GetFrameResources().geometryLayout);
    graphics->GetEffects().Apply(TechniqueId::UiTech);
    graphics->Update(0.0f);
    fs::remove_all(folder);
}

TEST_F(GraphicsSystemGLTest, DefaultCameraIsACloneOfTheFactorysCameraPrototype) {
    ObjectFactory factory;
    auto* prototype = new Camera();
    D3DXVECTOR3 eye(1, 2, 3);
    Message place;
    place.type = kMsgCameraPosition.type;
    place.payload = &eye;  // read during the call; the deleter frees nothing
    place.payloadSize = sizeof eye;
    prototype->HandleMessage(&place);
    factory.RegisterComponentPrototype("Camera", prototype);
    Start(64, 64);
    auto* active = dynamic_cast<Camera*>(overlord->GetComponentById(graphics->GetActiveCameraId()));
    ASSERT_NE(active, nullptr);
    EXPECT_NE(active, prototype);
    EXPECT_EQ(active->GetPosition(), eye);
    EXPECT_EQ(active->GetId(), graphics->GetDefaultCameraId());
}

TEST_F(GraphicsSystemGLTest, WithoutAWindowThereIsNoDeviceAndNothingBreaks) {
    graphics = new GraphicsSystem;
    engine->AddSystem(graphics);
    graphics->Init();
    EXPECT_EQ(graphics->GetDevice(), nullptr);
    graphics->Update(0.0f);
    graphics->onResize();
    Send(kMsgToggleFullScreen);
    EXPECT_EQ(graphics->GetWidth(), 1);
}

}  // namespace
