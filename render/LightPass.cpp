#include "render/LightPass.h"

#include <cmath>
#include <cstring>

#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "port/gpu/GpuBuffer.h"
#include "port/gpu/GpuDevice.h"
#include "render/FrameContext.h"
#include "render/FrustumCuller.h"
#include "render/GraphicsSystem.h"
#include "render/Model.h"
#include "render/PointLight.h"
#include "render/RenderLists.h"
#include "render/RenderTargets.h"

void LightPass::Draw(const FrameContext& frame, const FrustumCuller& frustum) {
    drawn_ = batches_ = 0;
    GpuDevice& device = frame.device;
    const RenderTargets& t = frame.targets;
    device.IASetPrimitiveTopology(GpuTopology::TriangleList);
    // The lights read the depth from its float copy while the depth buffer is
    // bound for their depth test. Without the copy (an effect file that lacks
    // it) they read the depth buffer itself, which then cannot be bound: every
    // pixel a sphere covers is shaded.
    frame.UnbindInputs();
    frame.SetTarget(t.depthCopy.target.get(), false);
    frame.SetTexture(EffectVarId::DepthIn, t.depthView.get());
    const bool copied = t.depthCopy.Valid() && frame.Apply(TechniqueId::CopyDepth) && frame.DrawQuad();
    depthCopied_ = copied;

    frame.UnbindInputs();
    device.OMSetDepthStencilState(t.depthOffState.get(), 0);
    GpuRenderTargetView* light = t.light.target.get();
    device.OMSetRenderTargets(1, &light, copied ? t.depthStencil.get() : nullptr);
    // The lights add up from black; cleared once bound, as part of this pass.
    const float black[4] = {0, 0, 0, 1};
    device.ClearRenderTargetView(light, black);
    frame.SetTexture(EffectVarId::DiffuseSpecIn, t.diffuseSpec.view.get());
    frame.SetTexture(EffectVarId::NormalsIn, t.normals.view.get());
    frame.SetTexture(EffectVarId::DepthIn, copied ? t.depthCopy.view.get() : t.depthView.get());
    frame.Apply(TechniqueId::DeferredLightingBuffer);

    LightInstance* instances = frame.graphics.LightInstances();
    const u32 capacity = GraphicsSystem::kMaxLightInstances;
    u32 count = 0;
    Overlord& overlord = Overlord::Get();
    ComponentList& lights = frame.lists.pointLights;
    while (lights.HasNext()) {
        auto* light = dynamic_cast<PointLight*>(lights.Next());
        if (!light) continue;
        const Transform* transform = overlord.GetComponent<Transform>(light->GetOwner());
        const D3DXVECTOR3 centre = transform ? transform->worldPosition : D3DXVECTOR3(0, 0, 0);
        if (!transform || frustum.IsOutside(centre, light->mRange)) continue;
        LightInstance& instance = instances[count++];
        instance.position[0] = centre.x;
        instance.position[1] = centre.y;
        instance.position[2] = centre.z;
        instance.colour[0] = light->mDiffuse.r;
        instance.colour[1] = light->mDiffuse.g;
        instance.colour[2] = light->mDiffuse.b;
        instance.radius = std::fabs(light->mRange);
        if (count == capacity) {
            Flush(frame, instances, count);
            count = 0;
        }
    }
    if (count > 0) Flush(frame, instances, count);
    lights.EndPass();
}

void LightPass::Flush(const FrameContext& frame, const LightInstance* instances, u32 count) {
    drawn_ += count;
    ++batches_;
    frame.Record(FramePass::LightBatch, count);
    Overlord& overlord = Overlord::Get();
    const Model* sphere = overlord.GetComponentById<Model>(frame.graphics.GetSphereModelId());
    GpuBuffer* instanceBuffer = frame.graphics.GetLightInstanceBuffer();
    if (!sphere || !sphere->vertexBuffer || !sphere->indexBuffer || !instanceBuffer) return;
    GpuDevice& device = frame.device;
    if (void* mapped = instanceBuffer->Map(GpuMap::WriteDiscard)) {
        std::memcpy(mapped, instances, count * sizeof(LightInstance));
        instanceBuffer->Unmap();
    }
    GpuBuffer* buffers[2] = {sphere->vertexBuffer.get(), instanceBuffer};
    const u32 strides[2] = {sphere->stride, sizeof(LightInstance)};
    const u32 offsets[2] = {sphere->offset, 0};
    device.IASetVertexBuffers(0, 2, buffers, strides, offsets);
    device.IASetIndexBuffer(sphere->indexBuffer.get(), GpuFormat::R32_UINT, 0);
    device.IASetInputLayout(frame.graphics.GetLightLayout());
    if (!frame.Apply(TechniqueId::DeferredLightingBuffer)) return;
    device.DrawIndexedInstanced(3 * sphere->triangleCount, count, 0, 0, 0);
}
