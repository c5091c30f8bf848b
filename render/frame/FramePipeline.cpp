#include "render/frame/FramePipeline.h"

#include <cstdint>

#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "port/gpu/GpuDevice.h"
#include "port/gpu/GpuEffectVariable.h"
#include "port/gpu/GpuInputLayout.h"
#include "port/gpu/GpuSwapChain.h"
#include "port/panels/TweakPanels.h"
#include "port/window/Cursor.h"
#include "render/camera/Camera.h"
#include "render/frame/GraphicsSystem.h"
#include "render/frame/RenderLists.h"
#include "render/frame/RenderTargets.h"
#include "render/mesh/Model.h"

class Editor;
class FinMenu;

namespace {

// What the driver's variant of a pass depends on in a bound texture: its kind,
// format, whether each side is a power of two, and one level or more.
std::string TextureKind(const GpuShaderResourceView* view) {
    if (!view || !view->Texture()) return "-";
    const GpuTextureDesc& d = view->Texture()->GetDesc();
    auto pot = [](u32 v) { return v != 0 && (v & (v - 1)) == 0; };
    return std::to_string(static_cast<int>(view->Dimension())) + "." + std::to_string(static_cast<int>(d.format)) +
           (pot(d.width) ? "p" : "n") + (pot(d.height) ? "p" : "n") + (d.mipLevels == 1 ? "1" : "m");
}

}  // namespace

FramePipeline::FramePipeline(GraphicsSystem& graphics) : graphics_(graphics), res_(graphics.GetFrameResources()) {
    D3DXMatrixIdentity(&matrices_.view);
    D3DXMatrixIdentity(&matrices_.projection);
    D3DXMatrixIdentity(&matrices_.viewProjection);
    D3DXMatrixIdentity(&matrices_.screenView);
    D3DXMatrixIdentity(&matrices_.screenProjection);
}

Camera* FramePipeline::ResolveCamera() {
    return res_.lists.cameras.ResolveActive();
}

bool FramePipeline::EditorActiveOrMissing() const {
    Engine* engine = Engine::Instance();
    ISystem* editor = engine ? engine->GetSystem(TypeId<Editor>::Get()) : nullptr;
    return !editor || editor->IsActive();
}

bool FramePipeline::ResultsScreenActive() const {
    Engine* engine = Engine::Instance();
    ISystem* results = engine ? engine->GetSystem(TypeId<FinMenu>::Get()) : nullptr;
    return results && results->IsActive();
}

bool FramePipeline::ChaseViewUsable() const {
    const ChaseView& chase = res_.lists.chase;
    Transform* target = Overlord::FindComponent<Transform>(chase.ChaseTarget());
    return chase.ChaseCameraTransform() && target && target->GetParentTransform();
}

void FramePipeline::BuildView(Camera* camera, float dt) {
    RenderLists& lists = res_.lists;
    if (graphics_.IsPaused()) {
        SetCursor(nullptr);
        if (Transform* overlay = lists.chase.OverlayTransform()) overlay->isInScreenSpace = true;
        if (camera) camera->Update(0.0f);
        return;
    }
    if (camera) camera->Update(dt);
    if (lists.chase.ChaseCameraObject() && !EditorActiveOrMissing() && ChaseViewUsable()) {
        SetCursor(nullptr);
        lists.chase.HideOverlay();
        if (lists.chase.ComputeView(matrices_.view)) return;
    }
    if (!camera) return;  // no camera left: the last view stays
    const D3DXVECTOR3 eye = camera->GetPosition(), at = camera->GetLookAt(), up = camera->GetUp();
    D3DXMatrixLookAtLH(&matrices_.view, &eye, &at, &up);
}

void FramePipeline::Publish(u32 cameraId) {
    graphics_.Broadcast(kMsgViewMatrix, &matrices_.view);
    graphics_.Broadcast(kMsgProjectionMatrix, &graphics_.GetProjection());
    graphics_.Broadcast(kMsgFrameClientRect, graphics_.GetClientRect());
    graphics_.Broadcast(kMsgActiveCamera, cameraId);
}

void FramePipeline::Run(float dt) {
    GpuDevice* device = graphics_.GetDevice();
    GpuSwapChain* swapChain = graphics_.GetSwapChain();
    const RenderTargets& targets = res_.targets;
    if (!device || !swapChain || !targets.backBuffer) return;
    // Before any variable is set: the deferred effects may be loaded here.
    if (!graphics_.StartFinished() && NeedsDeferred()) graphics_.FinishStart();

    Camera* camera = ResolveCamera();
    BuildView(camera, dt);
    const float width = static_cast<float>(graphics_.GetWidth()), height = static_cast<float>(graphics_.GetHeight());
    const D3DXVECTOR3 origin(0, 0, 0), ahead(0, 0, 1), up(0, 1, 0);
    D3DXMatrixLookAtLH(&matrices_.screenView, &origin, &ahead, &up);
    D3DXMatrixOrthoLH(&matrices_.screenProjection, width, height, 1.0f, 2000.0f);
    Publish(camera ? camera->GetId() : 0);

    matrices_.projection = graphics_.GetProjection();
    matrices_.viewProjection = matrices_.view * matrices_.projection;
    const EffectTable& effects = res_.effects;
    effects.Variable(EffectVarId::scrWidth)->SetInt(graphics_.GetWidth());
    effects.Variable(EffectVarId::scrHeight)->SetInt(graphics_.GetHeight());
    effects.Variable(EffectVarId::pixelWidth)->SetFloat(1.0f / width);
    effects.Variable(EffectVarId::pixelHeight)->SetFloat(1.0f / height);
    frustum_.Build(matrices_.viewProjection);
    // Set once a frame for the geometry, lighting and occlusion steps.
    D3DXMATRIX inverseProjection;
    D3DXMatrixInverse(&inverseProjection, nullptr, &matrices_.projection);
    effects.Variable(EffectVarId::gView)->SetMatrix(&matrices_.view._11);
    effects.Variable(EffectVarId::gViewProjection)->SetMatrix(&matrices_.viewProjection._11);
    effects.Variable(EffectVarId::gInverseProjection)->SetMatrix(&inverseProjection._11);
    device->IASetPrimitiveTopology(GpuTopology::TriangleList);

    FrameContext frame(graphics_, *device, matrices_, recorder_);
    drawing_ = true;
    frame.camera = camera;
    frame.paused = graphics_.IsPaused();

    frame.Record(FramePass::Geometry);
    geometry_.Draw(frame, frustum_);
    // Nothing drawn and no light: the deferred picture is black (the glow and
    // the lights have nothing to add to), so it is cleared instead.
    const bool empty = geometry_.DrawnCount() == 0 && res_.lists.pointLights.Size() == 0;
    if (empty) {
        const float black[4] = {0, 0, 0, 1};
        device->ClearRenderTargetView(targets.backBuffer.get(), black);
        screen_.SetGlobalLight(frame);
    } else {
        frame.Record(FramePass::Lighting);
        lights_.Draw(frame, frustum_);
        if (graphics_.IsGlowOn()) {
            frame.Record(FramePass::GlowBlur);
            screen_.BlurGlow(frame);
        }
        frame.Record(FramePass::AmbientOcclusion);
        screen_.AmbientOcclusion(frame, lights_.InputsReady());
        frame.Record(FramePass::AmbientOcclusionBlur);
        screen_.BlurAmbientOcclusion(frame);
        frame.Record(FramePass::Combine);
        screen_.Combine(frame);
        deferredWarm_ = true;
    }
    if (res_.lists.skyboxObject != 0) {
        frame.Record(FramePass::Skybox);
        forward_.DrawSkybox(frame);
    }
    frame.Record(FramePass::Particles);
    particles_.Draw(frame, frame.paused && !ResultsScreenActive() ? 0.0f : dt);
    frame.Record(FramePass::FrameModels);
    forward_.DrawFrameModels(frame);

    frame.Record(FramePass::DebugDrawing);
    debug_.Draw(frame);
    frame.Record(FramePass::Texts);
    forward_.DrawTexts(frame);
    frame.Record(FramePass::ScreenMarkers);
    debug_.DrawScreenMarkers(frame);
    device->OMSetDepthStencilState(targets.depthOnState.get(), 0);

    frame.Record(FramePass::Panels);
    frame.UnbindInputs();
    // The panels draw over the picture on the window itself.
    swapChain->CopyToWindow();
    TwDraw();
    frame.Record(FramePass::Present);
    swapChain->Present();
    drawing_ = false;
    // After the first two pictures (an empty one, then the splash's or the
    // editor's), while nothing needs them: the deferred steps' resources and
    // their variants.
    if (presented_ && !deferredWarm_) {
        graphics_.FinishStart();
        Unseen(EffectId::DeferredShader, [&](const FrameContext& unseen) { WarmUpDeferred(unseen); });
    }
    presented_ = true;
}

bool FramePipeline::NeedsDeferred() const {
    const RenderLists& lists = res_.lists;
    return lists.models.Size() != 0 || lists.pointLights.Size() != 0 || !lists.emitters.empty() ||
           lists.globalLighting != 0;
}

template <class Draw>
bool FramePipeline::Unseen(EffectId effect, Draw&& draw) {
    GpuDevice* device = graphics_.GetDevice();
    // Something that arrives while a frame is drawn (from a step's own work)
    // is left to its first draw: the steps' bound state must stay.
    if (drawing_ || !device || !res_.targets.backBuffer || !res_.effects.Effect(effect)) return false;
    GpuViewport viewports[16];
    const unsigned count = device->RSGetViewports(viewports, 16);
    GpuViewport none;
    none.width = none.height = 0.0f;
    device->RSSetViewports(1, &none);
    const FrameRecorder quiet;
    const FrameContext frame(graphics_, *device, matrices_, quiet);
    draw(frame);
    frame.UnbindInputs();
    device->RSSetViewports(count, viewports);
    return true;
}

void FramePipeline::WarmUpDeferred(const FrameContext& frame) {
    deferredWarm_ = true;
    // The light volumes and the screen quads after them take turns on the
    // light layout's buffers, twice a round. Until the driver has laid that
    // layout out for good (a level's second or third frame) each of those
    // programs would be built again; so the rounds go on until then, and one
    // more round builds them all as they stay.
    const GpuInputLayout* lightLayout = res_.lightLayout.get();
    bool settled = false;
    for (int round = 0; round < kMaxDeferredWarmRounds; ++round) {
        lights_.WarmUp(frame);
        screen_.BlurGlow(frame);
        screen_.AmbientOcclusion(frame, true);
        screen_.AmbientOcclusion(frame, false);
        screen_.BlurAmbientOcclusion(frame);
        screen_.Combine(frame);
        if (settled) break;
        settled = !lightLayout || lightLayout->Settled();
    }
}

void FramePipeline::WarmUpFor(u32 id, bool frameModel) {
    Overlord* overlord = Overlord::Instance();
    if (!overlord) return;
    if (frameModel) {
        const Model* model = overlord->GetComponent<Model>(id);
        if (!model) return;
        const std::string kind =
            "ui " + std::to_string(model->topology) + " " + TextureKind(FrameContext::DiffuseOrWhite(model->material));
        if (warmed_.count(kind)) return;
        if (Unseen(EffectId::UIShader, [&](const FrameContext& frame) {
                ForwardPasses::BindFrameModels(frame);
                ForwardPasses::DrawFrameModel(frame, id);
            }))
            warmed_.insert(kind);
        return;
    }
    Model* model = overlord->GetComponentById<Model>(id);
    if (!model) return;
    // A scene's model: the scene's texts (its HUD) come with it.
    WarmUpTexts();
    std::string kind = "geometry " + std::to_string(model->topology);
    for (const GpuShaderResourceView* view : GeometryPass::Textures(model->material)) kind += " " + TextureKind(view);
    if (warmed_.count(kind)) return;
    // A scene is arriving: what its first frame draws with is made now.
    if (!drawing_) graphics_.FinishStart();
    if (Unseen(EffectId::DeferredShader, [&](const FrameContext& frame) {
            GeometryPass::Bind(frame, false);
            D3DXMATRIX identity;
            D3DXMatrixIdentity(&identity);
            GeometryPass::DrawOne(frame, *model, identity);
        }))
        warmed_.insert(kind);
}

void FramePipeline::WarmUpSkybox() {
    Unseen(EffectId::UIShader, [&](const FrameContext& frame) { forward_.DrawSkybox(frame); });
}

void FramePipeline::WarmUpTexts() {
    if (warmed_.count(kTextsKind)) return;
    // The font atlases' kind: see FontAtlas::GetView and the solid colours.
    GpuShaderResourceView* atlasKind = FrameContext::Solid(D3DXCOLOR(1, 1, 1, 1));
    if (atlasKind &&
        Unseen(EffectId::UIShader, [&](const FrameContext& frame) { ForwardPasses::WarmUpTexts(frame, atlasKind); }))
        warmed_.insert(kTextsKind);
}
