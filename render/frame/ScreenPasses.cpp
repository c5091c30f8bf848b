#include "render/frame/ScreenPasses.h"

#include "engine/Overlord.h"
#include "port/gpu/GpuDevice.h"
#include "port/gpu/GpuEffectVariable.h"
#include "render/frame/FrameContext.h"
#include "render/frame/RenderLists.h"
#include "render/frame/RenderTargets.h"
#include "render/light/GlobalLighting.h"

namespace {

// One blur step: `source` read through "StagedBlur", written to `target`.
void Blur(const FrameContext& frame, TechniqueId technique, GpuShaderResourceView* source,
          GpuRenderTargetView* target) {
    frame.UnbindInputs();
    frame.SetTarget(target, false);
    frame.SetTexture(EffectVarId::StagedBlur, source);
    frame.device.IASetPrimitiveTopology(GpuTopology::TriangleList);
    if (frame.Apply(technique)) frame.DrawQuad();
}

}  // namespace

void ScreenPasses::BlurGlow(const FrameContext& frame) const {
    const RenderTargets& t = frame.targets;
    Blur(frame, TechniqueId::BlurGlow_H, t.glow.view.get(), t.stagedBlur.target.get());
    Blur(frame, TechniqueId::BlurGlow_V, t.stagedBlur.view.get(), t.glow.target.get());
}

void ScreenPasses::AmbientOcclusion(const FrameContext& frame, bool inputsReady) const {
    const RenderTargets& t = frame.targets;
    frame.UnbindInputs();
    frame.SetTarget(t.ssao.target.get(), inputsReady);
    frame.device.IASetPrimitiveTopology(GpuTopology::TriangleList);
    if (inputsReady) {
        // The pixels the depth test passes over stay open.
        const float open[4] = {1, 1, 1, 1};
        frame.device.ClearRenderTargetView(t.ssao.target.get(), open);
        frame.SetTexture(EffectVarId::LightPositionIn, t.lightPosition.view.get());
        frame.SetTexture(EffectVarId::LightNormalIn, t.lightNormal.view.get());
    } else {
        frame.SetTexture(EffectVarId::DepthIn, t.depthView.get());
        frame.SetTexture(EffectVarId::NormalsIn, t.normals.view.get());
    }
    if (frame.Apply(TechniqueId::DoSSAO, inputsReady ? 0 : 1)) frame.DrawQuad();
}

void ScreenPasses::BlurAmbientOcclusion(const FrameContext& frame) const {
    const RenderTargets& t = frame.targets;
    Blur(frame, TechniqueId::Blur_H, t.ssao.view.get(), t.stagedBlur.target.get());
    Blur(frame, TechniqueId::Blur_V, t.stagedBlur.view.get(), t.ssao.target.get());
}

void ScreenPasses::Combine(const FrameContext& frame) const {
    const RenderTargets& t = frame.targets;
    frame.UnbindInputs();
    frame.SetTarget(t.backBuffer.get(), false);
    SetGlobalLight(frame);
    frame.SetTexture(EffectVarId::DiffuseSpecIn, t.diffuseSpec.view.get());
    frame.SetTexture(EffectVarId::LightIn, t.light.view.get());
    frame.SetTexture(EffectVarId::GlowIn, t.glow.view.get());
    frame.SetTexture(EffectVarId::SSAOIn, t.ssao.view.get());
    frame.SetTexture(EffectVarId::NormalsIn, t.normals.view.get());
    // The combine writes every pixel of the back buffer; only a frame without
    // it starts from black.
    if (frame.Apply(TechniqueId::CombineDeferred) && frame.DrawQuad()) return;
    const float black[4] = {0, 0, 0, 1};
    frame.device.ClearRenderTargetView(t.backBuffer.get(), black);
}

void ScreenPasses::SetGlobalLight(const FrameContext& frame) const {
    const u32 id = frame.lists.globalLighting;
    if (id == 0) return;
    Overlord* overlord = Overlord::Instance();
    const GlobalLighting* light = overlord ? overlord->GetComponentById<GlobalLighting>(id) : nullptr;
    if (light) {
        frame.Var(EffectVarId::ambient)->SetFloat(light->ambientIntensity);
        frame.Var(EffectVarId::GlobalDirection)->SetFloatVector(&light->directionalLightingDirection.x);
        frame.Var(EffectVarId::GlobalColor)->SetFloatVector(&light->directionalLightColor.x);
        frame.Var(EffectVarId::GlobalIntensity)->SetFloat(light->directionalLightIntensity);
        return;
    }
    const float ones[3] = {1, 1, 1};
    frame.Var(EffectVarId::ambient)->SetFloat(kFallbackAmbient);
    frame.Var(EffectVarId::GlobalDirection)->SetFloatVector(ones);
    frame.Var(EffectVarId::GlobalColor)->SetFloatVector(ones);
    frame.Var(EffectVarId::GlobalIntensity)->SetFloat(kFallbackIntensity);
}
