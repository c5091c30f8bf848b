// The frame's steps and what it tells the rest of the engine: the order of
// the steps through the recording hook, the four broadcasts once a frame in
// order, point lights in instanced batches of 2000 and their bounds a frame,
// the camera and chase views (with missing objects), pausing, the global
// light's fixed values, and culling of models by their bounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

#include "port/gpu/GpuEffectVariable.h"
#include "render/camera/GameCamera.h"
#include "render/frame/FramePipeline.h"
#include "render/frame/LightPass.h"
#include "render/frame/ScreenPasses.h"
#include "render/light/Skybox.h"
#include "render/particle/ParticleEmmiter.h"
#include "tests/render/FrameTestRig.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/support/LogCapture.h"

class Editor;
class FinMenu;
namespace {

// Records the renderer's per-frame broadcasts: view, projection, client rectangle, active camera.
class BroadcastProbe : public ISystem {
public:
    BroadcastProbe() : ISystem(TypeId<BroadcastProbe>::Get()) {
        Subscribe(kMsgViewMatrix);
        Subscribe(kMsgProjectionMatrix);
        Subscribe(kMsgFrameClientRect);
        Subscribe(kMsgActiveCamera);
    }
    void HandleMessage(Message* m) override {
        arguments.push_back(m->argument);
        if (const D3DXMATRIX* const* matrix = m->Read(kMsgViewMatrix)) view = **matrix;
        if (const D3DXMATRIX* const* matrix = m->Read(kMsgProjectionMatrix)) projection = **matrix;
        if (const ClientRect* client = m->Read(kMsgFrameClientRect)) rect = *client;
        if (const u32* id = m->Read(kMsgActiveCamera)) camera = *id;
    }

    std::vector<u32> arguments;
    D3DXMATRIX view, projection;
    ClientRect rect;
    u32 camera = 0;
};

// Stands in for a system of a later layer, found by its type id.
template <class Stood>
class StandIn : public ISystem {
public:
    StandIn() : ISystem(TypeId<Stood>::Get()) {}
};

class PipelineGLTest : public FrameTestRig {
protected:
    std::vector<FramePass> Record() {
        std::vector<FramePass> passes;
        graphics->SetFrameRecorder([&passes](FramePass pass, u32) { passes.push_back(pass); });
        graphics->Update(0.016f);
        graphics->SetFrameRecorder(nullptr);
        return passes;
    }
    std::vector<u32> LightBatches() {
        std::vector<u32> batches;
        graphics->SetFrameRecorder([&batches](FramePass pass, u32 count) {
            if (pass == FramePass::LightBatch) batches.push_back(count);
        });
        graphics->Update(0.0f);
        graphics->SetFrameRecorder(nullptr);
        return batches;
    }
    const D3DXMATRIX& View() { return graphics->GetPipeline().Matrices().view; }
    static D3DXMATRIX LookAt(const D3DXVECTOR3& eye, const D3DXVECTOR3& at, const D3DXVECTOR3& up) {
        D3DXMATRIX m;
        D3DXMatrixLookAtLH(&m, &eye, &at, &up);
        return m;
    }
    static void ExpectMatrixNear(const D3DXMATRIX& a, const D3DXMATRIX& b) {
        for (int i = 0; i < 16; ++i) EXPECT_NEAR((&a._11)[i], (&b._11)[i], 1e-4f) << "element " << i;
    }
    float Var(EffectVarId id) { return graphics->GetEffects().Variable(id)->GetFloat(); }
    D3DXVECTOR3 Var3(EffectVarId id) {
        D3DXVECTOR3 v;
        graphics->GetEffects().Variable(id)->GetRawValue(&v, 0, sizeof v);
        return v;
    }

    // The game's chase set-up: a target under a parent and a camera object
    // with a GameCamera, announced to the renderer as their Init would.
    struct Chase {
        GameObject* parent;
        GameObject* target;
        GameObject* camera;
    };
    Chase MakeChase() {
        Chase chase;
        chase.parent = AddObject(D3DXVECTOR3(0, 10, 50), 1.0f, {});
        chase.target = AddObject(D3DXVECTOR3(0, 0, 50), 1.0f, {});
        chase.target->SetParent(chase.parent->GetId());
        chase.target->GetComponent<Transform>()->SetPosition(0, 0, 50);
        chase.target->GetComponent<Transform>()->Update(0.0f);
        auto* gameCamera = new GameCamera();
        chase.camera = AddObject(D3DXVECTOR3(0, 3, 30), 1.0f, {gameCamera});
        SendToGraphics(kMsgChaseTarget, chase.target->GetId());
        SendToGraphics(kMsgChaseCamera, chase.camera->GetId());
        return chase;
    }
    void SendToGraphics(const Kind<u32>& kind, u32 id) { SendToSystem(kind, graphics->GetTypeId(), 0, id); }
};

TEST_F(PipelineGLTest, StepsRunInOrderOncePerFrame) {
    Start();
    // An empty scene (no model drawn, no light) skips the deferred steps.
    EXPECT_EQ(Record(), (std::vector<FramePass>{FramePass::Geometry, FramePass::Particles, FramePass::FrameModels,
                                                FramePass::DebugDrawing, FramePass::Texts, FramePass::ScreenMarkers,
                                                FramePass::Panels, FramePass::Present}));
    // A scene (a light, out of sight so it draws no batch): the deferred steps run.
    AddLight(D3DXVECTOR3(0, 100000, 0), 1.0f, D3DXCOLOR(1, 1, 1, 1));
    const std::vector<FramePass> bare = {FramePass::Geometry,
                                         FramePass::Lighting,
                                         FramePass::GlowBlur,
                                         FramePass::AmbientOcclusion,
                                         FramePass::AmbientOcclusionBlur,
                                         FramePass::Combine,
                                         FramePass::Particles,
                                         FramePass::FrameModels,
                                         FramePass::DebugDrawing,
                                         FramePass::Texts,
                                         FramePass::ScreenMarkers,
                                         FramePass::Panels,
                                         FramePass::Present};
    EXPECT_EQ(Record(), bare);

    // A sky box adds its step after the combine; glow off drops the glow blur.
    auto* sky = new Skybox();
    MeshBuilder::SkyboxCube(*sky);
    AddObject(D3DXVECTOR3(0, 0, 0), 1.0f, {sky});
    graphics->SetGlow(false);
    std::vector<FramePass> expected = bare;
    expected.erase(expected.begin() + 2);
    expected.insert(expected.begin() + 5, FramePass::Skybox);
    EXPECT_EQ(Record(), expected);
    EXPECT_EQ(graphics->GetDevice()->DrainErrors(), 0u);
}

TEST_F(PipelineGLTest, FourBroadcastsOncePerFrameInOrder) {
    Start();
    auto* probe = new BroadcastProbe;
    engine->AddSystem(probe);
    LookFrom(D3DXVECTOR3(1, 2, -5), D3DXVECTOR3(0, 0, 0));
    graphics->Update(0.0f);
    const std::vector<u32> oneFrame = {kMsgViewMatrix.argument, kMsgProjectionMatrix.argument,
                                       kMsgFrameClientRect.argument, kMsgActiveCamera.argument};
    EXPECT_EQ(probe->arguments, oneFrame);
    ExpectMatrixNear(probe->view, LookAt(D3DXVECTOR3(1, 2, -5), D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 1, 0)));
    EXPECT_EQ(0, std::memcmp(&probe->projection, &graphics->GetProjection(), sizeof probe->projection));
    EXPECT_EQ(probe->rect.right - probe->rect.left, 320);
    EXPECT_EQ(probe->rect.bottom - probe->rect.top, 240);
    EXPECT_EQ(probe->camera, graphics->GetDefaultCameraId());
    graphics->Update(0.0f);
    EXPECT_EQ(probe->arguments.size(), 8u);
}

TEST_F(PipelineGLTest, VisibleLightsAreDrawnInBatchesOf2000) {
    Start();
    LookFrom(D3DXVECTOR3(0, 0, -10), D3DXVECTOR3(0, 0, 0));
    for (int i = 0; i < 2001; ++i) AddLight(D3DXVECTOR3(static_cast<float>(i % 5), 0, 0), 0.1f, D3DXCOLOR(1, 1, 1, 1));
    EXPECT_EQ(LightBatches(), (std::vector<u32>{2000, 1}));
    // Lights behind the eye are culled; a negative range is drawn as its size.
    AddLight(D3DXVECTOR3(0, 0, -30), 5.0f, D3DXCOLOR(1, 1, 1, 1));
    AddLight(D3DXVECTOR3(1, 0, 0), -2.0f, D3DXCOLOR(1, 1, 1, 1));
    EXPECT_EQ(LightBatches(), (std::vector<u32>{2000, 2}));
    EXPECT_EQ(graphics->GetDevice()->DrainErrors(), 0u);
}

// Past two thousand small lights, the lights the frame's edge cases name are
// still drawn, each as its record: position, colour and |mRange|.
TEST_F(PipelineGLTest, EdgeLightsBesideTwoThousandSmallOnesAreDrawnWithTheirRecords) {
    Start();
    LookFrom(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 1));  // the near plane is z = 1
    for (int i = 0; i < 2001; ++i) AddLight(D3DXVECTOR3(static_cast<float>(i % 5), 0, 10), 0.1f, D3DXCOLOR(1, 1, 1, 1));
    const struct {
        const char* what;
        D3DXVECTOR3 position;
        float range;
    } cases[] = {
        {"touching the near plane", {0, 0, 0}, 1.0f},
        {"at (0, 0, 4) of range 5", {0, 0, 4}, 5.0f},
        {"of range -4", {1, 0, 20}, -4.0f},
    };
    for (const auto& c : cases) AddLight(c.position, c.range, D3DXCOLOR(0.25f, 0.5f, 0.75f, 1));
    // Each batch's records, as the draw takes them.
    std::vector<u32> batches;
    std::vector<LightInstance> records;
    graphics->SetFrameRecorder([&](FramePass pass, u32 count) {
        if (pass != FramePass::LightBatch) return;
        batches.push_back(count);
        const std::vector<LightInstance>& batch = graphics->GetFrameResources().lightInstances;
        records.insert(records.end(), batch.begin(), batch.begin() + count);
    });
    graphics->Update(0.0f);
    graphics->SetFrameRecorder(nullptr);
    EXPECT_EQ(batches, (std::vector<u32>{2000, 4}));
    for (const auto& c : cases) {
        const auto found = std::ranges::find_if(records, [&](const LightInstance& record) {
            return D3DXVECTOR3(record.position[0], record.position[1], record.position[2]) == c.position;
        });
        ASSERT_NE(found, records.end()) << c.what;
        EXPECT_EQ(found->radius, std::fabs(c.range)) << c.what;
        EXPECT_EQ(D3DXVECTOR3(found->colour[0], found->colour[1], found->colour[2]), D3DXVECTOR3(0.25f, 0.5f, 0.75f))
            << c.what;
    }
}

// 100,000 lights of range 1,000 in view took a minute a frame: what the
// lights cover of the screen, and how many are drawn, is bounded each frame.
// The lights past it (by component id) are not drawn, one row per scene
// names the first, and the next frame draws the same.
TEST_F(PipelineGLTest, LightsPastTheFramesBoundsAreNotDrawnWithOneRowPerScene) {
    Start();
    LookFrom(D3DXVECTOR3(0, 0, -10), D3DXVECTOR3(0, 0, 0));
    const struct {
        const char* what;
        u32 count;
        float range;
        u32 drawn;
    } cases[] = {
        {"holding the eye, a screen each", 1000, 1000.0f, static_cast<u32>(LightPass::kMaxLitScreens)},
        {"small", LightPass::kMaxDrawnLights + 100, 0.01f, LightPass::kMaxDrawnLights},
    };
    for (const auto& c : cases) {
        LogCapture log;
        std::vector<u32> owners;
        for (u32 i = 0; i < c.count; ++i)
            owners.push_back(AddLight(D3DXVECTOR3(static_cast<float>(i % 7) * 0.1f, 0, 0), c.range,
                                      D3DXCOLOR(0.01f, 0.01f, 0.01f, 1))
                                 ->GetOwner());
        for (int frame = 0; frame < 2; ++frame) {
            const std::vector<u32> batches = LightBatches();
            EXPECT_EQ(std::accumulate(batches.begin(), batches.end(), 0u), c.drawn) << c.what;
            EXPECT_EQ(graphics->GetPipeline().Lights().DrawnCount(), c.drawn) << c.what;
        }
        const std::vector<std::string> rows = log.Messages();
        EXPECT_EQ(LogCapture::CountContaining(rows, "would take the frame's lights past"), 1u) << c.what;
        EXPECT_EQ(LogCapture::CountContaining(rows, "PointLight on object " + std::to_string(owners[c.drawn]) + " "),
                  1u)
            << c.what;
        graphics->Clear();
    }
    EXPECT_EQ(graphics->GetDevice()->DrainErrors(), 0u);
}

TEST_F(PipelineGLTest, NegativeRangeLightsWithItsSize) {
    Start();
    LookFrom(D3DXVECTOR3(0, 0, -10), D3DXVECTOR3(0, 0, 0));
    const D3DXVECTOR3 wall[4] = {{-6, 6, 0}, {6, 6, 0}, {6, -6, 0}, {-6, -6, 0}};
    AddObject(D3DXVECTOR3(0, 0, 0), 1.0f, {Coloured(FlatQuad(wall), D3DXCOLOR(1, 1, 1, 1))});
    AddGlobalLight(D3DXVECTOR3(0, 0, -1), 0.0f, 0.0f);
    AddLight(D3DXVECTOR3(0, 0, -1), -3.0f, D3DXCOLOR(1, 1, 1, 1));
    const Picture picture = Draw();
    EXPECT_GT(picture.Mean(160, 120), 300);
}

TEST_F(PipelineGLTest, CameraViewWithoutAChaseCamera) {
    Start();
    LookFrom(D3DXVECTOR3(3, 4, 5), D3DXVECTOR3(0, 1, 0));
    graphics->Update(0.0f);
    ExpectMatrixNear(View(), LookAt(D3DXVECTOR3(3, 4, 5), D3DXVECTOR3(0, 1, 0), D3DXVECTOR3(0, 1, 0)));
    const FrameMatrices& m = graphics->GetPipeline().Matrices();
    D3DXMATRIX ortho;
    D3DXMatrixOrthoLH(&ortho, 320.0f, 240.0f, 1.0f, 2000.0f);
    ExpectMatrixNear(m.screenProjection, ortho);
    ExpectMatrixNear(m.viewProjection, m.view * m.projection);
}

TEST_F(PipelineGLTest, ChaseViewDuringPlayAndItsHeightIsMeasuredOnce) {
    Start();
    engine->AddSystem(new StandIn<Editor>);
    engine->GetSystem(TypeId<Editor>::Get())->SetActive(false);
    LookFrom(D3DXVECTOR3(0, 0, -5), D3DXVECTOR3(0, 0, 0));
    const Chase chase = MakeChase();
    graphics->Update(0.0f);
    // Up from the target towards its parent; the height is |3 - 0|.
    ExpectMatrixNear(View(), LookAt(D3DXVECTOR3(0, 3, 30), D3DXVECTOR3(0, 3, 50), D3DXVECTOR3(0, 1, 0)));
    // Raising the camera afterwards does not change the measured height.
    chase.camera->GetComponent<Transform>()->SetPosition(0, 8, 30);
    graphics->Update(0.0f);
    ExpectMatrixNear(View(), LookAt(D3DXVECTOR3(0, 8, 30), D3DXVECTOR3(0, 3, 50), D3DXVECTOR3(0, 1, 0)));
}

TEST_F(PipelineGLTest, EditorActiveOrMissingKeepsTheCameraView) {
    Start();
    LookFrom(D3DXVECTOR3(0, 0, -5), D3DXVECTOR3(0, 0, 0));
    MakeChase();
    const D3DXMATRIX cameraView = LookAt(D3DXVECTOR3(0, 0, -5), D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 1, 0));
    graphics->Update(0.0f);
    ExpectMatrixNear(View(), cameraView);  // no Editor system at all
    engine->AddSystem(new StandIn<Editor>);
    graphics->Update(0.0f);
    ExpectMatrixNear(View(), cameraView);  // the Editor is active
}

TEST_F(PipelineGLTest, ChaseViewWithAMissingObjectFallsBackToTheCamera) {
    Start();
    engine->AddSystem(new StandIn<Editor>);
    engine->GetSystem(TypeId<Editor>::Get())->SetActive(false);
    LookFrom(D3DXVECTOR3(0, 0, -5), D3DXVECTOR3(0, 0, 0));
    const D3DXMATRIX cameraView = LookAt(D3DXVECTOR3(0, 0, -5), D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 1, 0));
    for (int missing = 0; missing < 3; ++missing) {
        const Chase chase = MakeChase();
        GameObject* gone = missing == 0 ? chase.camera : missing == 1 ? chase.target : chase.parent;
        overlord->UnregisterGameObject(gone->GetId());
        graphics->Update(0.0f);
        ExpectMatrixNear(View(), cameraView);
        graphics->Clear();
    }
    // A chase target without a parent object at all.
    const Chase chase = MakeChase();
    chase.target->DetachFromParent();
    graphics->Update(0.0f);
    ExpectMatrixNear(View(), cameraView);
}

TEST_F(PipelineGLTest, PausedFrameKeepsTheView) {
    Start();
    LookFrom(D3DXVECTOR3(0, 0, -5), D3DXVECTOR3(0, 0, 0));
    graphics->Update(0.0f);
    const D3DXMATRIX before = View();
    graphics->SetPaused(true);
    LookFrom(D3DXVECTOR3(7, 7, 7), D3DXVECTOR3(0, 0, 0));
    graphics->Update(0.5f);
    ExpectMatrixNear(View(), before);
    graphics->SetPaused(false);
    graphics->Update(0.5f);
    ExpectMatrixNear(View(), LookAt(D3DXVECTOR3(7, 7, 7), D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 1, 0)));
}

TEST_F(PipelineGLTest, PausedParticlesStandStillUnlessTheResultsScreenShows) {
    Start();
    auto* emitter = new ParticleEmmiter();
    emitter->SetContinuous(true);
    AddObject(D3DXVECTOR3(0, 0, 5), 1.0f, {emitter});
    emitter->Init();
    emitter->SetActive(true);
    const ParticlePass& particles = graphics->GetPipeline().Particles();
    graphics->Update(0.25f);
    EXPECT_FLOAT_EQ(particles.GameTime(), 0.25f);
    EXPECT_EQ(particles.DrawnCount(), 1u);
    graphics->SetPaused(true);
    graphics->Update(0.25f);
    EXPECT_FLOAT_EQ(particles.GameTime(), 0.25f);
    auto* results = new StandIn<FinMenu>;
    engine->AddSystem(results);
    graphics->Update(0.25f);
    EXPECT_FLOAT_EQ(particles.GameTime(), 0.5f);
    results->SetActive(false);
    graphics->Update(0.25f);
    EXPECT_FLOAT_EQ(particles.GameTime(), 0.5f);
    // A removed emitter is skipped.
    overlord->UnregisterGameObject(emitter->GetOwner());
    graphics->SetPaused(false);
    graphics->Update(0.25f);
    EXPECT_EQ(particles.DrawnCount(), 0u);
    EXPECT_EQ(graphics->GetDevice()->DrainErrors(), 0u);
}

TEST_F(PipelineGLTest, GlobalLightValuesAndTheirFixedStandIns) {
    Start();
    graphics->FinishStart();
    // None announced: the effect file's values stay.
    graphics->Update(0.0f);
    EXPECT_FLOAT_EQ(Var(EffectVarId::ambient), 0.9f);
    GlobalLighting* light = AddGlobalLight(D3DXVECTOR3(0, 2, 0), 0.7f, 0.3f);
    light->directionalLightColor = D3DXVECTOR3(1, 0.5f, 0.25f);
    graphics->Update(0.0f);
    EXPECT_FLOAT_EQ(Var(EffectVarId::ambient), 0.3f);
    EXPECT_FLOAT_EQ(Var(EffectVarId::GlobalIntensity), 0.7f);
    ExpectVecNear(Var3(EffectVarId::GlobalDirection), D3DXVECTOR3(0, 2, 0));
    ExpectVecNear(Var3(EffectVarId::GlobalColor), D3DXVECTOR3(1, 0.5f, 0.25f));
    // Its object removed: the fixed values.
    overlord->UnregisterGameObject(light->GetOwner());
    graphics->Update(0.0f);
    EXPECT_FLOAT_EQ(Var(EffectVarId::ambient), ScreenPasses::kFallbackAmbient);
    EXPECT_FLOAT_EQ(Var(EffectVarId::GlobalIntensity), ScreenPasses::kFallbackIntensity);
    ExpectVecNear(Var3(EffectVarId::GlobalDirection), D3DXVECTOR3(1, 1, 1));
    ExpectVecNear(Var3(EffectVarId::GlobalColor), D3DXVECTOR3(1, 1, 1));
}

TEST_F(PipelineGLTest, EmptiedCameraStackKeepsTheLastView) {
    Start();
    LookFrom(D3DXVECTOR3(0, 0, -5), D3DXVECTOR3(0, 0, 0));
    graphics->Update(0.0f);
    const D3DXMATRIX before = View();
    graphics->PopCamera();
    auto* probe = new BroadcastProbe;
    engine->AddSystem(probe);
    graphics->Update(0.0f);
    ExpectMatrixNear(View(), before);
    EXPECT_EQ(probe->camera, 0u);
    EXPECT_EQ(graphics->GetDevice()->DrainErrors(), 0u);
}

class CullingGLTest : public FrameTestRig {
protected:
    u32 Drawn() {
        graphics->Update(0.0f);
        return graphics->GetPipeline().Geometry().DrawnCount();
    }
};

TEST_F(CullingGLTest, ModelsAreCulledByTheirPlacedBounds) {
    Start();
    LookFrom(D3DXVECTOR3(0, 0, -10), D3DXVECTOR3(0, 0, 0));
    Model* inView = MeshBuilder::Sphere(8, 8, 1, 1, 1);
    AddObject(D3DXVECTOR3(0, 0, 0), 1.0f, {inView});
    EXPECT_EQ(Drawn(), 1u);
    // Far left of the view: dropped.
    AddObject(D3DXVECTOR3(-100, 0, 0), 1.0f, {MeshBuilder::Sphere(8, 8, 1, 1, 1)});
    EXPECT_EQ(Drawn(), 1u);
    // The same origin, scaled to reach into the view: kept.
    AddObject(D3DXVECTOR3(-100, 0, 0), 99.0f, {MeshBuilder::Sphere(8, 8, 1, 1, 1)});
    EXPECT_EQ(Drawn(), 2u);
    // Origin out of view, mesh built around a point in view: kept.
    Model* offCentre = MeshBuilder::Sphere(8, 8, 1, 1, 1);
    offCentre->center = D3DXVECTOR3(100, 0, 0);
    AddObject(D3DXVECTOR3(-100, 0, 0), 1.0f, {offCentre});
    EXPECT_EQ(Drawn(), 3u);
    // Disabled models and models of objects without a Transform are skipped.
    inView->SetEnabled(false);
    EXPECT_EQ(Drawn(), 2u);
    EXPECT_EQ(graphics->GetPipeline().Geometry().CulledCount(), 1u);
}

TEST_F(CullingGLTest, BoundlessMeshesAreNeverCulled) {
    Start();
    LookFrom(D3DXVECTOR3(0, 0, -10), D3DXVECTOR3(0, 0, 0));
    // A builder quad has no bounds; its origin is far out of view.
    Model* quad = MeshBuilder::Quad(300, 300, D3DXCOLOR(1, 1, 1, 1));
    AddObject(D3DXVECTOR3(-200, 0, 0), 1.0f, {quad});
    EXPECT_EQ(Drawn(), 1u);
}

}  // namespace
