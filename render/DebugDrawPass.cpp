#include "render/DebugDrawPass.h"

#include <cstring>
#include <optional>

#include "engine/GameObject.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "port/gpu/GpuBuffer.h"
#include "port/gpu/GpuDevice.h"
#include "port/gpu/GpuEffectVariable.h"
#include "render/FrameContext.h"
#include "render/GraphicsSystem.h"
#include "render/MeshBuilder.h"
#include "render/Model.h"
#include "render/RenderResources.h"

namespace {

void UnbindInputs(GpuDevice& device) {
    GpuShaderResourceView* none[6] = {};
    device.PSSetShaderResources(0, 6, none);
}

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
    sphere->filename = "DEBUGSPHERE";
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

void DebugDrawPass::Draw(GraphicsSystem& graphics, const FrameMatrices& frame) {
    RenderLists& lists = graphics.GetLists();
    GpuDevice* device = graphics.GetDevice();
    if (!device || !lists.HasDebugWork()) {
        lists.EndDebugFrame();
        return;
    }
    const RenderTargets& targets = graphics.GetTargets();
    const EffectTable& effects = graphics.GetEffects();
    GpuEffectVariable* wvpVar = effects.Variable(EffectVarId::guiWorldViewProj);
    GpuEffectVariable* diffuseVar = effects.Variable(EffectVarId::guiDiffuseMap);
    const D3DXMATRIX& viewProjection = frame.viewProjection;
    GpuRenderTargetView* backBuffer = targets.backBuffer.get();
    const float noBlendFactor[4] = {0, 0, 0, 0};

    UnbindInputs(*device);
    device->OMSetRenderTargets(1, &backBuffer, nullptr);
    device->IASetInputLayout(graphics.GetGeometryLayout());
    device->OMSetDepthStencilState(targets.depthOnState.get(), 0);
    device->OMSetBlendState(nullptr, noBlendFactor, 0xFFFFFFFF);

    // Line list B over everything, then list A against the depth buffer,
    // both through the one dynamic line buffer.
    auto drawLines = [&](const DebugLineList& list) {
        GpuBuffer* buffer = graphics.GetLineBuffer();
        const u32 count = list.Count();
        if (!buffer || count == 0) return;
        if (void* mapped = buffer->Map(GpuMap::WriteDiscard)) {
            std::memcpy(mapped, list.Vertices(), count * sizeof(DebugLineVertex));
            buffer->Unmap();
        }
        wvpVar->SetMatrix(&viewProjection._11);
        device->IASetPrimitiveTopology(GpuTopology::LineList);
        effects.Apply(TechniqueId::DebugElemTech);
        const u32 stride = sizeof(DebugLineVertex), offset = 0;
        device->IASetVertexBuffers(0, 1, &buffer, &stride, &offset);
        device->Draw(count, 0);
    };
    drawLines(lists.linesB);
    device->OMSetRenderTargets(1, &backBuffer, targets.depthStencil.get());
    drawLines(lists.linesA);

    if (!lists.spheres.empty()) {
        if (Model* sphere = DebugSphere()) {
            for (const DebugSphereRecord& record : lists.spheres) {
                D3DXMATRIX scaling, translation;
                D3DXMatrixScaling(&scaling, record.radius, record.radius, record.radius);
                D3DXMatrixTranslation(&translation, record.centre.x, record.centre.y, record.centre.z);
                const D3DXMATRIX wvp = scaling * translation * viewProjection;
                wvpVar->SetMatrix(&wvp._11);
                diffuseVar->SetResource(FrameContext::Solid(record.colour));
                device->IASetInputLayout(graphics.GetGeometryLayout());
                device->IASetPrimitiveTopology(Model::ToGpuTopology(sphere->topology));
                effects.Apply(TechniqueId::UiTechNoBlend);
                sphere->Draw(*device);
            }
        }
    }

    auto drawObjects = [&](const std::vector<u32>& ids, TechniqueId technique, bool ownDiffuse) {
        for (u32 id : ids) {
            Model* model = Overlord::FindComponent<Model>(id);
            Transform* transform = Overlord::FindComponent<Transform>(id);
            if (!model || !transform) continue;
            const D3DXMATRIX wvp = WorldViewProjection(*transform, frame);
            wvpVar->SetMatrix(&wvp._11);
            if (ownDiffuse) diffuseVar->SetResource(FrameContext::DiffuseOrWhite(model->material));
            device->IASetPrimitiveTopology(Model::ToGpuTopology(model->topology));
            effects.Apply(technique);
            model->Draw(*device);
        }
    };
    drawObjects(lists.unblendedFrameModels, TechniqueId::UiTechNoBlend, true);

    if (!lists.highlights.empty()) {
        std::optional<GpuRasterizerState> previous;
        if (GpuRasterizerState* current = device->RSGetState()) previous = *current;
        device->RSSetState(targets.wireframeState.get());
        diffuseVar->SetResource(FrameContext::Solid(D3DXCOLOR(1, 0, 0, 1)));
        drawObjects(lists.highlights, TechniqueId::UiTechNoBlendDepthLessEqual, false);
        device->RSSetState(previous ? &*previous : nullptr);
    }
    lists.EndDebugFrame();
}

void DebugDrawPass::DrawScreenMarkers(GraphicsSystem& graphics, const FrameMatrices& frame) {
    RenderLists& lists = graphics.GetLists();
    GpuDevice* device = graphics.GetDevice();
    if (lists.markers.empty()) return;
    if (!device) {
        lists.markers.clear();
        return;
    }
    const RenderTargets& targets = graphics.GetTargets();
    const EffectTable& effects = graphics.GetEffects();
    GpuRenderTargetView* backBuffer = targets.backBuffer.get();
    const float noBlendFactor[4] = {0, 0, 0, 0};
    UnbindInputs(*device);
    device->OMSetRenderTargets(1, &backBuffer, nullptr);
    device->IASetInputLayout(graphics.GetGeometryLayout());
    device->OMSetBlendState(nullptr, noBlendFactor, 0xFFFFFFFF);

    Model* panel = Marker();
    Transform* transform = Overlord::FindComponent<Transform>(markerObject_);
    GpuViewport gpuViewport;
    if (panel && transform && device->RSGetViewports(&gpuViewport, 1) == 1) {
        D3DXVIEWPORT viewport;
        viewport.TopLeftX = static_cast<i32>(gpuViewport.topLeftX);
        viewport.TopLeftY = static_cast<i32>(gpuViewport.topLeftY);
        viewport.Width = static_cast<u32>(gpuViewport.width);
        viewport.Height = static_cast<u32>(gpuViewport.height);
        viewport.MinDepth = gpuViewport.minDepth;
        viewport.MaxDepth = gpuViewport.maxDepth;
        const float width = static_cast<float>(graphics.GetWidth());
        const float height = static_cast<float>(graphics.GetHeight());
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        for (const DebugMarkerRecord& record : lists.markers) {
            D3DXVECTOR3 screen;
            D3DXVec3Project(&screen, &record.point, &viewport, &frame.projection, &frame.view, &identity);
            transform->SetPosition(screen.x - 0.5f * width, -(screen.y - 0.5f * height), 1.0f);
            transform->scale = record.size;
            transform->Update(0.0f);
            const D3DXMATRIX wvp = transform->GetWorldMatrix() * frame.screenProjection;
            device->IASetPrimitiveTopology(GpuTopology::LineList);
            effects.Variable(EffectVarId::guiWorldViewProj)->SetMatrix(&wvp._11);
            effects.Variable(EffectVarId::guiDiffuseMap)->SetResource(FrameContext::DiffuseOrWhite(panel->material));
            effects.Variable(EffectVarId::alphaVal)->SetFloat(1.0f);
            effects.Apply(TechniqueId::UiTechPlain);
            GpuBuffer* buffer = panel->vertexBuffer.get();
            if (!buffer) continue;
            device->IASetVertexBuffers(0, 1, &buffer, &panel->stride, &panel->offset);
            device->Draw(panel->vertexCount, 0);
        }
    }
    lists.markers.clear();
}
