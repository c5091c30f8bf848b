#include "render/frame/GeometryPass.h"

#include <array>

#include "engine/GameObject.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "port/gpu/GpuDevice.h"
#include "render/camera/FrustumCuller.h"
#include "render/frame/FrameContext.h"
#include "render/frame/GraphicsSystem.h"
#include "render/frame/RenderResources.h"
#include "render/mesh/Model.h"

namespace {

// Whether `ancestorId` is a parent, grand-parent ... of the object.
bool HasAncestor(const Overlord& overlord, u32 objectId, u32 ancestorId) {
    const GameObject* object = overlord.GetGameObject(objectId);
    // The chain is bounded in case a broken hierarchy loops.
    for (int depth = 0; object && depth < 10000; ++depth) {
        const u32 parent = object->GetParent();
        if (parent == 0) return false;
        if (parent == ancestorId) return true;
        object = overlord.GetGameObject(parent);
    }
    return false;
}

}  // namespace

void GeometryPass::Bind(const FrameContext& frame, bool clear) {
    GpuDevice& device = frame.device;
    const RenderTargets& t = frame.targets;
    frame.UnbindInputs();
    device.IASetPrimitiveTopology(GpuTopology::TriangleList);
    device.IASetInputLayout(frame.res.geometryLayout.get());
    GpuRenderTargetView* gbuffer[3] = {t.normals.target.get(), t.diffuseSpec.target.get(), t.glow.target.get()};
    device.OMSetRenderTargets(3, gbuffer, t.depthStencil.get());
    // Cleared once bound, so the clears become part of this pass's drawing.
    const float black[4] = {0, 0, 0, 1};
    if (clear) {
        for (GpuRenderTargetView* target : gbuffer) device.ClearRenderTargetView(target, black);
        device.ClearDepthStencilView(t.depthStencil.get(), GpuClearDepth | GpuClearStencil, 1.0f, 0);
    }
    device.OMSetDepthStencilState(t.depthOnState.get(), 0);
    const float factor[4] = {0, 0, 0, 0};
    device.OMSetBlendState(nullptr, factor, 0xFFFFFFFF);
}

std::array<GpuShaderResourceView*, 4> GeometryPass::Textures(const Material& material) {
    RenderResources* resources = RenderResources::Instance();
    const D3DXCOLOR normalColour = resources ? resources->defaultNormalColor : D3DXCOLOR(0, 0, 1, 1);
    const D3DXCOLOR specularColour = resources ? resources->defaultSpecularColor : D3DXCOLOR(1, 1, 1, 1);
    const D3DXCOLOR glowColour = resources ? resources->defaultGlowColor : D3DXCOLOR(0, 0, 0, 1);
    return {FrameContext::DiffuseOrWhite(material),
            material.normal ? material.normal : FrameContext::Solid(normalColour),
            material.specular ? material.specular : FrameContext::Solid(specularColour),
            material.glow ? material.glow : FrameContext::Solid(glowColour)};
}

bool GeometryPass::KeepsSurfaceNormals(const Material& material) {
    if (material.normal) return false;
    RenderResources* resources = RenderResources::Instance();
    const D3DXCOLOR standIn = resources ? resources->defaultNormalColor : D3DXCOLOR(0, 0, 1, 1);
    return standIn.r <= 0.0f && standIn.g <= 0.0f;
}

bool GeometryPass::DrawOne(const FrameContext& frame, Model& model, const D3DXMATRIX& world) {
    frame.device.IASetPrimitiveTopology(Model::ToGpuTopology(model.topology));
    frame.SetMatrix(EffectVarId::gWorldViewProj, world * frame.m.viewProjection);
    frame.SetMatrix(EffectVarId::gWorld, world);
    frame.Var(EffectVarId::gTextureTileFactor)->SetFloatVector(&model.material.tileFactor.x);
    const std::array<GpuShaderResourceView*, 4> maps = Textures(model.material);
    frame.SetTexture(EffectVarId::DiffuseMap, maps[0]);
    frame.SetTexture(EffectVarId::NormalMap, maps[1]);
    frame.SetTexture(EffectVarId::SpecularMap, maps[2]);
    frame.SetTexture(EffectVarId::GlowMap, maps[3]);
    // Pass 1 draws what pass 0 does for such a material, with less work.
    const bool kept = KeepsSurfaceNormals(model.material) && frame.Apply(TechniqueId::DeferredGeometryBuffer, 1);
    if (!kept && !frame.Apply(TechniqueId::DeferredGeometryBuffer)) return false;
    frame.DrawModel(model);
    return true;
}

void GeometryPass::Draw(const FrameContext& frame, const FrustumCuller& frustum) {
    drawn_ = culled_ = 0;
    Bind(frame, true);
    Overlord& overlord = Overlord::Get();
    ComponentList& models = frame.lists.models;
    while (models.HasNext()) {
        auto* model = dynamic_cast<Model*>(models.Next());
        if (!model || !model->IsEnabled()) continue;
        Transform* transform = overlord.GetComponent<Transform>(model->GetOwner());
        if (!transform) continue;

        // A mesh without bounds (a builder's quad or panel) is never culled.
        if (model->extent != D3DXVECTOR3(0, 0, 0)) {
            D3DXVECTOR3 centre;
            float radius = 0.0f;
            FrustumCuller::ModelSphere(*transform, model->center, model->extent, &centre, &radius);
            if (frustum.IsOutside(centre, radius)) {
                ++culled_;
                continue;
            }
        }
        const D3DXMATRIX world = transform->GetWorldMatrix();
        if (frame.lists.debugDraw) DrawSelection(frame, *model, model->GetOwner());
        if (DrawOne(frame, *model, world)) ++drawn_;
    }
    models.EndPass();
}

void GeometryPass::DrawSelection(const FrameContext& frame, Model& model, u32 ownerId) const {
    const u32 selected = frame.lists.selectedObject;
    if (selected == 0) return;
    if (ownerId == selected)
        model.DebugDraw();
    else if (HasAncestor(Overlord::Get(), ownerId, selected))
        model.DrawBounds(D3DXCOLOR(0, 1, 1, 1));
}
