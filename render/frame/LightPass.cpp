#include "render/frame/LightPass.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/Logger.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "port/gpu/GpuBuffer.h"
#include "port/gpu/GpuDevice.h"
#include "port/gpu/GpuEffectVariable.h"
#include "render/camera/FrustumCuller.h"
#include "render/frame/FrameContext.h"
#include "render/frame/GraphicsSystem.h"
#include "render/frame/RenderLists.h"
#include "render/frame/RenderTargets.h"
#include "render/light/PointLight.h"
#include "render/mesh/Model.h"

PointLightView PointLightView::Of(const LightInstance& instance, const D3DXMATRIX& view) {
    PointLightView light;
    const float x = instance.position[0], y = instance.position[1], z = instance.position[2];
    // The point (x, y, z, 1) times the view, its terms summed from the last
    // as the GPU sums the product of a vector and a matrix (Mesa's llvmpipe),
    // so the pixels get the centre the vertex stage used to work out, to the
    // last bit.
    const float* m = &view._11;
    for (int c = 0; c < 3; ++c) light.centre[c] = ((z * m[8 + c] + m[12 + c]) + y * m[4 + c]) + x * m[c];
    light.radius = std::max(instance.radius, 1e-4f);
    light.radiusSquared = light.radius * light.radius;
    std::copy(instance.colour, instance.colour + 3, light.colour);
    return light;
}

float LightPass::ScreensCovered(const D3DXVECTOR3& centre, float radius, const D3DXMATRIX& view,
                                const D3DXMATRIX& projection) {
    const float r = std::fabs(radius);
    D3DXVECTOR3 c;
    D3DXVec3TransformCoord(&c, &centre, &view);
    const float nearPlane = projection._33 != 0.0f ? -projection._43 / projection._33 : 0.0f;
    if (!(c.z - r > nearPlane) || !(nearPlane >= 0.0f)) return 1.0f;
    // Along one axis of the picture: the two lines from the eye that touch
    // the sphere (in the plane of that axis and the view direction), their
    // slopes a +- r over z turned by the angle of the tangent, then projected
    // and clipped to [-1, 1]. With z > r both denominators are positive; in
    // doubles the squares of any float stay finite.
    const double z = c.z, rr = r;
    const auto span = [&](double a, double scale, double offset) {
        const double t = std::sqrt(a * a + z * z - rr * rr);
        const double low = (a * t - rr * z) / (z * t + a * rr), high = (a * t + rr * z) / (z * t - a * rr);
        const double from = std::clamp(low * scale + offset, -1.0, 1.0);
        const double to = std::clamp(high * scale + offset, -1.0, 1.0);
        return std::fabs(to - from) * 0.5;
    };
    return static_cast<float>(span(c.x, projection._11, projection._31) * span(c.y, projection._22, projection._32));
}

void LightPass::Draw(const FrameContext& frame, const FrustumCuller& frustum) {
    drawn_ = batches_ = 0;
    inputsDrawn_ = inputsReady_ = false;
    visible_.clear();
    double screens = 0;
    Overlord& overlord = Overlord::Get();
    ComponentList& lights = frame.lists.pointLights;
    while (lights.HasNext()) {
        auto* light = dynamic_cast<PointLight*>(lights.Next());
        if (!light) continue;
        const Transform* transform = overlord.GetComponent<Transform>(light->GetOwner());
        const D3DXVECTOR3 centre = transform ? transform->worldPosition : D3DXVECTOR3(0, 0, 0);
        if (!transform || frustum.IsOutside(centre, light->mRange)) continue;
        Visible& visible = visible_.emplace_back();
        LightInstance& instance = visible.instance;
        instance.position[0] = centre.x;
        instance.position[1] = centre.y;
        instance.position[2] = centre.z;
        instance.colour[0] = light->mDiffuse.r;
        instance.colour[1] = light->mDiffuse.g;
        instance.colour[2] = light->mDiffuse.b;
        instance.radius = std::fabs(light->mRange);
        visible.screens = ScreensCovered(centre, light->mRange, frame.m.view, frame.m.projection);
        visible.componentId = light->GetId();
        visible.owner = light->GetOwner();
        visible.drawn = true;
        screens += visible.screens;
    }
    lights.EndPass();
    if (visible_.size() > kMaxDrawnLights || screens > kMaxLitScreens) Bound(frame);

    LightInstance* instances = frame.res.lightInstances.data();
    const u32 capacity = GraphicsSystem::kMaxLightInstances;
    u32 count = 0;
    for (const Visible& visible : visible_) {
        if (!visible.drawn) continue;
        instances[count++] = visible.instance;
        if (count == capacity) {
            Flush(frame, instances, count);
            count = 0;
        }
    }
    if (count > 0) Flush(frame, instances, count);
    if (!inputsDrawn_) DrawInputs(frame);
}

void LightPass::Bound(const FrameContext& frame) {
    byId_.resize(visible_.size());
    for (u32 i = 0; i < byId_.size(); ++i) byId_[i] = i;
    std::sort(byId_.begin(), byId_.end(),
              [&](u32 a, u32 b) { return visible_[a].componentId < visible_[b].componentId; });
    double screens = 0;
    u32 lights = 0;
    const Visible* first = nullptr;
    for (u32 i : byId_) {
        Visible& visible = visible_[i];
        if (!first && (lights == kMaxDrawnLights || screens + visible.screens > kMaxLitScreens)) first = &visible;
        if (first) {
            visible.drawn = false;
            continue;
        }
        ++lights;
        screens += visible.screens;
    }
    if (!first || frame.lists.lightBoundLogged) return;
    frame.lists.lightBoundLogged = true;
    Log("PointLight on object %u would take the frame's lights past %u drawn or %.0f screens covered (%u drawn, %.2f "
        "screens, %.2f more asked); it and the lights after it are not drawn that frame (one row until the scene is "
        "cleared)",
        first->owner, kMaxDrawnLights, kMaxLitScreens, lights, screens, static_cast<double>(first->screens));
}

void LightPass::WarmUp(const FrameContext& frame) {
    inputsDrawn_ = false;
    LightInstance light{};
    light.radius = 1.0f;
    Flush(frame, &light, 1);
    drawn_ = batches_ = 0;
    inputsDrawn_ = inputsReady_ = false;
}

void LightPass::DrawInputs(const FrameContext& frame) {
    inputsDrawn_ = true;
    GpuDevice& device = frame.device;
    const RenderTargets& t = frame.targets;
    device.IASetPrimitiveTopology(GpuTopology::TriangleList);
    // Each pixel's position and normal, worked out once for the lights and
    // the occlusion. Without them (an effect file that lacks the pass) no
    // light is drawn and the occlusion reads the depth buffer.
    frame.UnbindInputs();
    GpuRenderTargetView* inputs[2] = {t.lightPosition.target.get(), t.lightNormal.target.get()};
    device.OMSetRenderTargets(2, inputs, nullptr);
    frame.SetTexture(EffectVarId::DepthIn, t.depthView.get());
    frame.SetTexture(EffectVarId::NormalsIn, t.normals.view.get());
    frame.SetTexture(EffectVarId::DiffuseSpecIn, t.diffuseSpec.view.get());
    if (t.lightPosition.Valid() && t.lightNormal.Valid() && frame.Apply(TechniqueId::LightInputs))
        inputsReady_ = frame.DrawQuad();

    frame.UnbindInputs();
    device.OMSetDepthStencilState(t.depthOffState.get(), 0);
    GpuRenderTargetView* light = t.light.target.get();
    device.OMSetRenderTargets(1, &light, t.depthStencil.get());
    // The lights add up from black; cleared once bound, as part of this pass.
    const float black[4] = {0, 0, 0, 1};
    device.ClearRenderTargetView(light, black);
    device.IASetPrimitiveTopology(GpuTopology::TriangleList);
    frame.SetTexture(EffectVarId::LightPositionIn, t.lightPosition.view.get());
    frame.SetTexture(EffectVarId::LightNormalIn, t.lightNormal.view.get());
}

void LightPass::Flush(const FrameContext& frame, const LightInstance* instances, u32 count) {
    if (!inputsDrawn_) DrawInputs(frame);
    drawn_ += count;
    ++batches_;
    frame.Record(FramePass::LightBatch, count);
    Overlord& overlord = Overlord::Get();
    const Model* sphere = overlord.GetComponentById<Model>(frame.res.sphereModelId);
    GpuBuffer* instanceBuffer = frame.res.lightInstanceBuffer.get();
    if (!inputsReady_ || !sphere || !sphere->vertexBuffer || !sphere->indexBuffer || !instanceBuffer) return;
    GpuDevice& device = frame.device;
    if (!FillLightViews(frame, instances, count)) return;
    if (void* mapped = instanceBuffer->Map(GpuMap::WriteDiscard)) {
        std::memcpy(mapped, instances, count * sizeof(LightInstance));
        instanceBuffer->Unmap();
    }
    GpuBuffer* buffers[2] = {sphere->vertexBuffer.get(), instanceBuffer};
    const u32 strides[2] = {sphere->stride, sizeof(LightInstance)};
    const u32 offsets[2] = {sphere->offset, 0};
    device.IASetVertexBuffers(0, 2, buffers, strides, offsets);
    device.IASetIndexBuffer(sphere->indexBuffer.get(), GpuFormat::R32_UINT, 0);
    device.IASetInputLayout(frame.res.lightLayout.get());
    if (!frame.Apply(TechniqueId::DeferredLightingBuffer)) return;
    device.DrawIndexedInstanced(3 * sphere->triangleCount, count, 0, 0, 0);
}

bool LightPass::FillLightViews(const FrameContext& frame, const LightInstance* instances, u32 count) {
    GpuBuffer* buffer = frame.res.lightViewBuffer.get();
    if (!buffer) return false;
    auto* views = static_cast<PointLightView*>(buffer->Map(GpuMap::WriteDiscard));
    if (!views) return false;
    for (u32 i = 0; i < count; ++i) views[i] = PointLightView::Of(instances[i], frame.m.view);
    buffer->Unmap();
    frame.Var(EffectVarId::PointLights)->SetConstantBuffer(buffer);
    return true;
}
