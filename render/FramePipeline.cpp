#include "render/FramePipeline.h"

#include <cstdint>

#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "port/gpu/GpuDevice.h"
#include "port/gpu/GpuEffectVariable.h"
#include "port/gpu/GpuSwapChain.h"
#include "port/panels/TweakPanels.h"
#include "port/window/Cursor.h"
#include "render/Camera.h"
#include "render/GraphicsSystem.h"
#include "render/RenderLists.h"
#include "render/RenderTargets.h"

class Editor;
class FinMenu;

FramePipeline::FramePipeline(GraphicsSystem& graphics) : graphics_(graphics) {
    D3DXMatrixIdentity(&matrices_.view);
    D3DXMatrixIdentity(&matrices_.projection);
    D3DXMatrixIdentity(&matrices_.viewProjection);
    D3DXMatrixIdentity(&matrices_.screenView);
    D3DXMatrixIdentity(&matrices_.screenProjection);
}

Camera* FramePipeline::ResolveCamera() {
    return graphics_.GetLists().cameras.ResolveActive();
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
    const ChaseView& chase = graphics_.GetLists().chase;
    Transform* target = Overlord::FindComponent<Transform>(chase.ChaseTarget());
    return chase.ChaseCameraTransform() && target && target->GetParentTransform();
}

void FramePipeline::BuildView(Camera* camera, float dt) {
    RenderLists& lists = graphics_.GetLists();
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
    const RenderTargets& targets = graphics_.GetTargets();
    if (!device || !swapChain || !targets.backBuffer) return;

    Camera* camera = ResolveCamera();
    BuildView(camera, dt);
    const float width = static_cast<float>(graphics_.GetWidth()), height = static_cast<float>(graphics_.GetHeight());
    const D3DXVECTOR3 origin(0, 0, 0), ahead(0, 0, 1), up(0, 1, 0);
    D3DXMatrixLookAtLH(&matrices_.screenView, &origin, &ahead, &up);
    D3DXMatrixOrthoLH(&matrices_.screenProjection, width, height, 1.0f, 2000.0f);
    Publish(camera ? camera->GetId() : 0);

    matrices_.projection = graphics_.GetProjection();
    matrices_.viewProjection = matrices_.view * matrices_.projection;
    const EffectTable& effects = graphics_.GetEffects();
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
    frame.camera = camera;
    frame.paused = graphics_.IsPaused();

    frame.Record(FramePass::Geometry);
    geometry_.Draw(frame, frustum_);
    frame.Record(FramePass::Lighting);
    lights_.Draw(frame, frustum_);
    if (graphics_.IsGlowOn()) {
        frame.Record(FramePass::GlowBlur);
        screen_.BlurGlow(frame);
    }
    frame.Record(FramePass::AmbientOcclusion);
    screen_.AmbientOcclusion(frame, lights_.DepthCopied());
    frame.Record(FramePass::AmbientOcclusionBlur);
    screen_.BlurAmbientOcclusion(frame);
    frame.Record(FramePass::Combine);
    screen_.Combine(frame);
    if (graphics_.GetLists().skyboxObject != 0) {
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
}
