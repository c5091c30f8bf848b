#include "render/debug/DebugDrawPass.h"

#include <cstring>
#include <optional>

#include "engine/GameObject.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "port/gpu/GpuBuffer.h"
#include "port/gpu/GpuDevice.h"
#include "port/gpu/GpuEffectVariable.h"
#include "render/frame/FrameContext.h"
#include "render/frame/GraphicsSystem.h"
#include "render/frame/RenderLists.h"
#include "render/frame/RenderResources.h"
#include "render/frame/RenderTargets.h"
#include "render/mesh/MeshBuilder.h"
#include "render/mesh/Model.h"

namespace {

// A new registered object holding `components` (not announced, so no
// render list takes it).
u32 MakeObject(std::initializer_list<IComponent*> components) {
    auto* object = new GameObject();
    for (IComponent* component : components) object->AddComponent(component);
    return object->GetId();
}

// world x view x projection, or x screen view x screen projection for
// objects placed in screen space.
D3DXMATRIX WorldViewProjection(const Transform& transform, const FrameMatrices& frame) {
    const D3DXMATRIX world = transform.GetWorldMatrix();
    return transform.isInScreenSpace ? world * frame.screenView * frame.screenProjection
                                     : world * frame.view * frame.projection;
}

}  // namespace

Model* DebugDrawPass::DebugSphere() {
    if (Model* model = Overlord::FindComponent<Model>(debugSphereObject_)) return model;
    Model* sphere = MeshBuilder::Sphere(10, 10, 1, 1, 1);
    if (!sphere) return nullptr;
    sphere->filename = MeshBuilder::kDebugSphereName;
    sphere->topology = 2;
    if (RenderResources* resources = RenderResources::Instance()) {
        sphere->material.diffuse = FrameContext::Solid(D3DXCOLOR(1, 1, 1, 1));
        sphere->material.normal = FrameContext::Solid(resources->defaultNormalColor);
        sphere->material.specular = FrameContext::Solid(resources->defaultSpecularColor);
        sphere->material.glow = FrameContext::Solid(resources->defaultGlowColor);
        sphere->material.diffuseLocked = sphere->material.normalLocked = true;
        sphere->material.specularLocked = sphere->material.glowLocked = true;
    }
    debugSphereObject_ = MakeObject({sphere});
    return sphere;
}

Model* DebugDrawPass::Marker() {
    if (Model* model = Overlord::FindComponent<Model>(markerObject_)) return model;
    Model* panel = MeshBuilder::Panel(1.0f, 1.0f, D3DXCOLOR(1, 1, 0, 1));
    auto* transform = new Transform();
    markerObject_ = MakeObject({panel, transform});
    transform->Init();
    return panel;
}

void DebugDrawPass::Draw(const FrameContext& frame) {
    RenderLists& lists = frame.lists;
    if (!lists.HasDebugWork()) {
        lists.EndDebugFrame();
        return;
    }
    GpuDevice& device = frame.device;
    GpuRenderTargetView* backBuffer = frame.targets.backBuffer.get();
    const float noBlendFactor[4] = {0, 0, 0, 0};
    frame.UnbindInputs();
    device.OMSetRenderTargets(1, &backBuffer, nullptr);
    device.IASetInputLayout(frame.res.geometryLayout.get());
    device.OMSetDepthStencilState(frame.targets.depthOnState.get(), 0);
    device.OMSetBlendState(nullptr, noBlendFactor, 0xFFFFFFFF);

    // Line list B over everything, then list A against the depth buffer.
    DrawLines(frame, lists.linesB);
    device.OMSetRenderTargets(1, &backBuffer, frame.targets.depthStencil.get());
    DrawLines(frame, lists.linesA);
    DrawSpheres(frame);
    DrawObjects(frame, lists.unblendedFrameModels, TechniqueId::UiTechNoBlend, true);
    DrawHighlights(frame);
    lists.EndDebugFrame();
}

// Through the one dynamic line buffer.
void DebugDrawPass::DrawLines(const FrameContext& frame, const DebugLineList& list) const {
    GpuBuffer* buffer = frame.res.lineBuffer.get();
    const u32 count = list.Count();
    if (!buffer || count == 0) return;
    if (void* mapped = buffer->Map(GpuMap::WriteDiscard)) {
        std::memcpy(mapped, list.Vertices(), count * sizeof(DebugLineVertex));
        buffer->Unmap();
    }
    frame.SetMatrix(EffectVarId::guiWorldViewProj, frame.m.viewProjection);
    frame.device.IASetPrimitiveTopology(GpuTopology::LineList);
    frame.effects.Apply(TechniqueId::DebugElemTech);
    const u32 stride = sizeof(DebugLineVertex), offset = 0;
    frame.device.IASetVertexBuffers(0, 1, &buffer, &stride, &offset);
    frame.device.Draw(count, 0);
}

// The one sphere model, scaled and moved to each record, in its colour.
void DebugDrawPass::DrawSpheres(const FrameContext& frame) {
    if (frame.lists.spheres.empty()) return;
    Model* sphere = DebugSphere();
    if (!sphere) return;
    for (const DebugSphereRecord& record : frame.lists.spheres) {
        D3DXMATRIX scaling, translation;
        D3DXMatrixScaling(&scaling, record.radius, record.radius, record.radius);
        D3DXMatrixTranslation(&translation, record.centre.x, record.centre.y, record.centre.z);
        frame.SetMatrix(EffectVarId::guiWorldViewProj, scaling * translation * frame.m.viewProjection);
        frame.SetTexture(EffectVarId::guiDiffuseMap, FrameContext::Solid(record.colour));
        frame.device.IASetInputLayout(frame.res.geometryLayout.get());
        frame.device.IASetPrimitiveTopology(Model::ToGpuTopology(sphere->topology));
        frame.effects.Apply(TechniqueId::UiTechNoBlend);
        sphere->Draw(frame.device);
    }
}

void DebugDrawPass::DrawObjects(const FrameContext& frame, const std::vector<u32>& ids, TechniqueId technique,
                                bool ownDiffuse) const {
    for (u32 id : ids) {
        Model* model = Overlord::FindComponent<Model>(id);
        Transform* transform = Overlord::FindComponent<Transform>(id);
        if (!model || !transform) continue;
        frame.SetMatrix(EffectVarId::guiWorldViewProj, WorldViewProjection(*transform, frame.m));
        if (ownDiffuse) frame.SetTexture(EffectVarId::guiDiffuseMap, FrameContext::DiffuseOrWhite(model->material));
        frame.device.IASetPrimitiveTopology(Model::ToGpuTopology(model->topology));
        frame.effects.Apply(technique);
        model->Draw(frame.device);
    }
}

// Red wireframe over the objects, the rasterizer state put back after.
void DebugDrawPass::DrawHighlights(const FrameContext& frame) const {
    if (frame.lists.highlights.empty()) return;
    GpuDevice& device = frame.device;
    std::optional<GpuRasterizerState> previous;
    if (GpuRasterizerState* current = device.RSGetState()) previous = *current;
    device.RSSetState(frame.targets.wireframeState.get());
    frame.SetTexture(EffectVarId::guiDiffuseMap, FrameContext::Solid(D3DXCOLOR(1, 0, 0, 1)));
    DrawObjects(frame, frame.lists.highlights, TechniqueId::UiTechNoBlendDepthLessEqual, false);
    device.RSSetState(previous ? &*previous : nullptr);
}

void DebugDrawPass::DrawScreenMarkers(const FrameContext& frame) {
    RenderLists& lists = frame.lists;
    if (lists.markers.empty()) return;
    GpuDevice& device = frame.device;
    const EffectTable& effects = frame.effects;
    GpuRenderTargetView* backBuffer = frame.targets.backBuffer.get();
    const float noBlendFactor[4] = {0, 0, 0, 0};
    frame.UnbindInputs();
    device.OMSetRenderTargets(1, &backBuffer, nullptr);
    device.IASetInputLayout(frame.res.geometryLayout.get());
    device.OMSetBlendState(nullptr, noBlendFactor, 0xFFFFFFFF);

    Model* panel = Marker();
    Transform* transform = Overlord::FindComponent<Transform>(markerObject_);
    GpuViewport gpuViewport;
    if (panel && transform && device.RSGetViewports(&gpuViewport, 1) == 1) {
        D3DXVIEWPORT viewport;
        viewport.TopLeftX = static_cast<i32>(gpuViewport.topLeftX);
        viewport.TopLeftY = static_cast<i32>(gpuViewport.topLeftY);
        viewport.Width = static_cast<u32>(gpuViewport.width);
        viewport.Height = static_cast<u32>(gpuViewport.height);
        viewport.MinDepth = gpuViewport.minDepth;
        viewport.MaxDepth = gpuViewport.maxDepth;
        const float width = static_cast<float>(frame.graphics.GetWidth());
        const float height = static_cast<float>(frame.graphics.GetHeight());
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        for (const DebugMarkerRecord& record : lists.markers) {
            D3DXVECTOR3 screen;
            D3DXVec3Project(&screen, &record.point, &viewport, &frame.m.projection, &frame.m.view, &identity);
            transform->SetPosition(screen.x - 0.5f * width, -(screen.y - 0.5f * height), 1.0f);
            transform->scale = record.size;
            transform->Update(0.0f);
            const D3DXMATRIX wvp = transform->GetWorldMatrix() * frame.m.screenProjection;
            device.IASetPrimitiveTopology(GpuTopology::LineList);
            effects.Variable(EffectVarId::guiWorldViewProj)->SetMatrix(&wvp._11);
            effects.Variable(EffectVarId::guiDiffuseMap)->SetResource(FrameContext::DiffuseOrWhite(panel->material));
            effects.Variable(EffectVarId::alphaVal)->SetFloat(1.0f);
            effects.Apply(TechniqueId::UiTechPlain);
            GpuBuffer* buffer = panel->vertexBuffer.get();
            if (!buffer) continue;
            device.IASetVertexBuffers(0, 1, &buffer, &panel->stride, &panel->offset);
            device.Draw(panel->vertexCount, 0);
        }
    }
    lists.markers.clear();
}
