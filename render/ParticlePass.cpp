#include "render/ParticlePass.h"

#include <utility>

#include "engine/Logger.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "port/gpu/GpuBuffer.h"
#include "port/gpu/GpuDevice.h"
#include "port/gpu/GpuEffectVariable.h"
#include "render/Camera.h"
#include "render/EmitterBuffers.h"
#include "render/FrameContext.h"
#include "render/GraphicsSystem.h"
#include "render/ParticleEmmiter.h"
#include "render/RenderLists.h"
#include "render/RenderTargets.h"

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
    device.IASetInputLayout(frame.graphics.GetParticleDrawLayout());
    device.IASetPrimitiveTopology(GpuTopology::PointList);

    Overlord* overlord = Overlord::Instance();
    // By index: an emitter's Update may announce further emitters.
    for (std::size_t i = 0; i < frame.lists.emitters.size(); ++i) {
        auto* emitter = dynamic_cast<ParticleEmmiter*>(overlord->GetComponentById(frame.lists.emitters[i]));
        if (!emitter || !emitter->IsActive()) continue;
        emitter->Update(step);
        frame.Var(EffectVarId::gameTime)->SetFloat(static_cast<float>(i) + gameTime_);
        frame.Var(EffectVarId::emitterAlive)->SetBool(emitter->IsEmitting());
        Transform* transform = overlord->GetComponent<Transform>(emitter->GetOwner());
        D3DXMATRIX world;
        D3DXMatrixIdentity(&world);
        D3DXVECTOR3 position(0, 0, 0);
        if (transform) {
            transform->Update(0.0f);
            position = transform->worldPosition;
            world = transform->GetWorldMatrix();
        }
        frame.Var(EffectVarId::emitterPosition)->SetFloatVector(&position.x);
        EmitterBuffers* buffers = emitter->GetBuffers();
        if (!buffers || !buffers->streamBuffers[0] || !buffers->streamBuffers[1]) continue;

        // Stream-out: advance the particles into the other stream buffer.
        GpuBuffer* input = buffers->seedPending ? buffers->seedBuffer.get()
                                                : buffers->streamBuffers[buffers->readIndex].get();
        GpuBuffer* output = buffers->streamBuffers[buffers->writeIndex].get();
        const u32 stride = buffers->stride, offset = buffers->offset;
        device.IASetInputLayout(frame.graphics.GetParticleStreamLayout());
        device.IASetVertexBuffers(0, 1, &input, &stride, &offset);
        device.SOSetTargets(1, &output, &offset);
        std::swap(buffers->readIndex, buffers->writeIndex);
        if (frame.Apply(TechniqueId::StreamOutTech)) {
            if (buffers->seedPending) {
                device.Draw(buffers->seedCount, 0);
                buffers->seedPending = false;
            } else {
                device.DrawAuto();
            }
        }
        device.SOSetTargets(0, nullptr, nullptr);

        // Draw what was just written.
        GpuBuffer* written = buffers->streamBuffers[buffers->readIndex].get();
        device.IASetInputLayout(frame.graphics.GetParticleDrawLayout());
        device.IASetVertexBuffers(0, 1, &written, &stride, &offset);
        frame.SetMatrix(EffectVarId::worldTransform, world);
        if (frame.Apply(TechniqueId::ParticleDrawTech)) device.DrawAuto();
        ++drawn_;
    }
}
