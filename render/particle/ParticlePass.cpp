#include "render/particle/ParticlePass.h"

#include "engine/Logger.h"
#include "port/gpu/GpuDevice.h"
#include "port/gpu/GpuEffectTechnique.h"
#include "port/gpu/GpuEffectVariable.h"
#include "render/camera/Camera.h"
#include "render/frame/FrameContext.h"
#include "render/frame/GraphicsSystem.h"
#include "render/frame/RenderDevice.h"
#include "render/frame/RenderLists.h"
#include "render/frame/RenderTargets.h"

void ParticlePass::Draw(const FrameContext& frame, float step) {
    drawn_ = 0;
    const std::vector<u32>& emitters = frame.lists.emitters;
    if (emitters.empty()) return;
    GpuDevice& device = frame.device;
    frame.UnbindInputs();
    frame.SetTarget(frame.targets.backBuffer.get(), true);
    device.IASetPrimitiveTopology(GpuTopology::PointList);

    D3DXVECTOR3 eye(0, 0, 0);
    if (frame.lists.cameras.Empty())
        Log("Error, no camera.");
    else if (frame.camera)
        eye = frame.camera->GetPosition();
    frame.Var(EffectVarId::CamPosition)->SetFloatVector(&eye.x);
    frame.SetMatrix(EffectVarId::viewMatrix, frame.m.viewProjection);
    gameTime_ += step;
    frame.Var(EffectVarId::timeStep)->SetFloat(step);

    RenderDevice* particles = RenderDevice::Instance();
    if (!particles) return;
    RenderDevice::ParticleEffectHandles effect;
    effect.streamOut = frame.effects.Technique(TechniqueId::StreamOutTech);
    effect.draw = frame.effects.Technique(TechniqueId::ParticleDrawTech);
    if (!effect.streamOut->IsValid()) return;
    if (!effect.draw->IsValid()) effect.draw = nullptr;
    effect.gameTime = frame.Var(EffectVarId::gameTime);
    effect.emitterAlive = frame.Var(EffectVarId::emitterAlive);
    effect.emitterPosition = frame.Var(EffectVarId::emitterPosition);
    effect.worldTransform = frame.Var(EffectVarId::worldTransform);
    effect.layout = frame.res.particleStreamLayout.get();
    effect.drawLayout = frame.res.particleDrawLayout.get();
    drawn_ = particles->RunEmitters(emitters, step, gameTime_, effect);
}
