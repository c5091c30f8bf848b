#include "render/frame/FrameContext.h"

#include "engine/Overlord.h"
#include "port/gpu/GpuDevice.h"
#include "port/gpu/GpuEffectPass.h"
#include "port/gpu/GpuEffectTechnique.h"
#include "port/gpu/GpuEffectVariable.h"
#include "render/frame/GraphicsSystem.h"
#include "render/frame/RenderResources.h"
#include "render/mesh/Material.h"
#include "render/mesh/Model.h"

FrameContext::FrameContext(GraphicsSystem& graphics_, GpuDevice& device_, const FrameMatrices& matrices,
                           const FrameRecorder& recorder)
    : graphics(graphics_),
      device(device_),
      res(graphics_.GetFrameResources()),
      effects(res.effects),
      targets(res.targets),
      lists(res.lists),
      m(matrices),
      recorder_(recorder) {}

void FrameContext::UnbindInputs() const {
    GpuShaderResourceView* none[6] = {};
    device.PSSetShaderResources(0, 6, none);
}

void FrameContext::SetMatrix(EffectVarId id, const D3DXMATRIX& matrix) const {
    effects.Variable(id)->SetMatrix(&matrix._11);
}

void FrameContext::SetTexture(EffectVarId id, GpuShaderResourceView* view) const {
    effects.Variable(id)->SetResource(view);
}

bool FrameContext::Apply(TechniqueId id, u32 index) const {
    GpuEffectPass* pass = effects.Technique(id)->GetPassByIndex(index);
    if (!pass->IsValid()) return false;
    pass->Apply(0);
    return true;
}

void FrameContext::SetTarget(GpuRenderTargetView* target, bool withDepth) const {
    device.OMSetRenderTargets(1, &target, withDepth ? targets.depthStencil.get() : nullptr);
}

void FrameContext::DrawModel(const Model& model) const {
    model.Draw(device);
}

bool FrameContext::DrawQuad() const {
    Overlord* overlord = Overlord::Instance();
    const Model* quad = overlord ? overlord->GetComponentById<Model>(res.quadModelId) : nullptr;
    if (!quad) return false;
    quad->Draw(device);
    return true;
}

GpuShaderResourceView* FrameContext::Solid(const D3DXCOLOR& c) {
    RenderResources* resources = RenderResources::Instance();
    return resources ? resources->GetSolidColorTexture(c.r, c.g, c.b, c.a) : nullptr;
}

GpuShaderResourceView* FrameContext::DiffuseOrWhite(const Material& material) {
    return material.diffuse ? material.diffuse : Solid(D3DXCOLOR(1, 1, 1, 1));
}
