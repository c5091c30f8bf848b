#include "render/frame/ForwardPasses.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/GameObject.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "port/gpu/GpuDevice.h"
#include "port/gpu/GpuEffectVariable.h"
#include "render/frame/FrameContext.h"
#include "render/frame/GraphicsSystem.h"
#include "render/frame/RenderLists.h"
#include "render/frame/RenderTargets.h"
#include "render/mesh/Model.h"
#include "render/text/ScreenText.h"

class Skybox;

GpuShaderResourceView* ForwardPasses::CubeOf(const FrameContext& frame, GpuShaderResourceView* view) {
    if (!view || view->Dimension() == GpuSrvDimension::TextureCube) return view;
    auto found = cubes_.find(view);
    if (found != cubes_.end()) return found->second.get();
    // The colour of the texture's first texel on all six faces.
    std::vector<std::uint8_t> texels;
    std::uint8_t colour[4] = {255, 255, 255, 255};
    if (view->Texture() && view->Texture()->ReadBack(0, &texels) && texels.size() >= 4)
        std::copy(texels.begin(), texels.begin() + 4, colour);
    GpuTextureDesc desc;
    desc.width = desc.height = 1;
    desc.arraySize = 6;
    desc.miscFlags = GpuMiscTextureCube;
    desc.usage = GpuUsage::Immutable;
    GpuSubresourceData faces[6];
    for (GpuSubresourceData& face : faces) face = {colour, 4, 4};
    GpuSrvDesc cubeDesc;
    cubeDesc.dimension = GpuSrvDimension::TextureCube;
    std::shared_ptr<GpuShaderResourceView> cube =
        frame.device.CreateShaderResourceView(frame.device.CreateTexture(desc, faces), &cubeDesc);
    cubes_[view] = cube;
    return cube.get();
}

void ForwardPasses::DrawSkybox(const FrameContext& frame) {
    frame.SetTarget(frame.targets.backBuffer.get(), true);
    frame.device.IASetPrimitiveTopology(GpuTopology::TriangleList);
    Overlord& overlord = Overlord::Get();
    const u32 objectId = frame.lists.skyboxObject;
    // A Skybox is a Model under its own type id.
    auto* skybox = dynamic_cast<Model*>(overlord.GetComponent(objectId, TypeId<Skybox>::Get()));
    Transform* transform = overlord.GetComponent<Transform>(objectId);
    if (!overlord.GetGameObject(objectId) || !skybox || !transform) return;
    frame.device.IASetPrimitiveTopology(Model::ToGpuTopology(skybox->topology));
    frame.SetMatrix(EffectVarId::WorldTrans, transform->GetWorldMatrix());
    frame.SetMatrix(EffectVarId::ViewProjTrans, frame.m.viewProjection);
    frame.SetTexture(EffectVarId::skyBox, CubeOf(frame, FrameContext::DiffuseOrWhite(skybox->material)));
    if (frame.Apply(TechniqueId::SkyboxTech)) frame.DrawModel(*skybox);
}

void ForwardPasses::BindFrameModels(const FrameContext& frame) {
    GpuDevice& device = frame.device;
    frame.SetTarget(frame.targets.backBuffer.get(), true);
    device.IASetPrimitiveTopology(GpuTopology::TriangleList);
    device.OMSetDepthStencilState(frame.targets.depthOffState.get(), 0);
    device.IASetInputLayout(frame.res.geometryLayout.get());
}

void ForwardPasses::DrawFrameModel(const FrameContext& frame, u32 objectId) {
    Overlord& overlord = Overlord::Get();
    if (!overlord.GetGameObject(objectId)) return;
    Model* model = overlord.GetComponent<Model>(objectId);
    Transform* transform = overlord.GetComponent<Transform>(objectId);
    if (!model || !transform) return;
    const D3DXMATRIX world = transform->GetWorldMatrix();
    const D3DXMATRIX wvp =
        transform->isInScreenSpace ? world * frame.m.screenProjection : world * frame.m.viewProjection;
    frame.device.IASetPrimitiveTopology(Model::ToGpuTopology(model->topology));
    frame.SetMatrix(EffectVarId::guiWorldViewProj, wvp);
    frame.SetTexture(EffectVarId::guiDiffuseMap, FrameContext::DiffuseOrWhite(model->material));
    frame.Var(EffectVarId::alphaVal)->SetFloat(1.0f);
    if (frame.Apply(TechniqueId::UiTech)) frame.DrawModel(*model);
}

void ForwardPasses::DrawFrameModels(const FrameContext& frame) const {
    std::vector<u32>& ids = frame.lists.frameModels;
    if (ids.empty()) return;
    BindFrameModels(frame);
    for (u32 id : ids) DrawFrameModel(frame, id);
    ids.clear();
}

void ForwardPasses::BindTexts(const FrameContext& frame) {
    frame.UnbindInputs();
    frame.SetTarget(frame.targets.backBuffer.get(), false);
    frame.device.IASetInputLayout(frame.res.geometryLayout.get());
    frame.device.OMSetDepthStencilState(frame.targets.depthOffState.get(), 0);
}

void ForwardPasses::WarmUpTexts(const FrameContext& frame, GpuShaderResourceView* atlas) {
    BindTexts(frame);
    frame.device.IASetPrimitiveTopology(GpuTopology::TriangleList);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    frame.SetMatrix(EffectVarId::guiWorldViewProj, identity);
    frame.SetTexture(EffectVarId::guiDiffuseMap, atlas);
    frame.Var(EffectVarId::alphaVal)->SetFloat(1.0f);
    if (frame.Apply(TechniqueId::TextTech)) frame.DrawQuad();
}

void ForwardPasses::DrawTexts(const FrameContext& frame) const {
    GpuDevice& device = frame.device;
    BindTexts(frame);

    Overlord& overlord = Overlord::Get();
    ComponentList& texts = frame.lists.texts;
    // Screen-space texts take the view's z translation as their depth, kept
    // inside the screen projection's depth range so they are never clipped
    // (the default camera's view has z translation 0, in front of the near plane).
    const float screenDepth = ScreenText::ScreenSpaceDepth(frame.m.view._43);
    while (texts.HasNext()) {
        auto* text = dynamic_cast<ScreenText*>(texts.Next());
        Transform* transform = text ? overlord.GetComponent<Transform>(text->GetOwner()) : nullptr;
        if (!transform) continue;
        text->Update(0.0f);
        D3DXMATRIX wvp;
        if (!transform->isInScreenSpace) {
            wvp = transform->GetWorldMatrix() * frame.m.viewProjection;
        } else {
            transform->position.z = screenDepth;
            transform->RebuildMatrices();
            wvp = transform->GetWorldMatrix() * frame.m.screenView * frame.m.screenProjection;
        }
        DrawText(frame, *text, wvp);
    }
    texts.EndPass();
    device.OMSetDepthStencilState(frame.targets.depthOffState.get(), 0);

    // A text asked for this frame is named by its object or by its own
    // component id; it is always drawn in screen space, at the same depth as
    // the screen-space texts above (texts are made at z 0, which the screen
    // projection's near plane would clip).
    for (u32 id : frame.lists.frameTexts) {
        ScreenText* text = nullptr;
        if (GameObject* object = overlord.GetGameObject(id))
            text = object->GetComponent<ScreenText>();
        else
            text = overlord.GetComponentById<ScreenText>(id);
        Transform* transform = text ? overlord.GetComponent<Transform>(text->GetOwner()) : nullptr;
        if (!transform) continue;
        text->Update(0.0f);
        transform->position.z = screenDepth;
        transform->RebuildMatrices();
        DrawText(frame, *text, transform->GetWorldMatrix() * frame.m.screenProjection);
    }
    frame.lists.frameTexts.clear();
}

void ForwardPasses::DrawText(const FrameContext& frame, ScreenText& text, const D3DXMATRIX& wvp) const {
    GpuBuffer* vertices = text.GetVertexBuffer();
    const u32 characters = static_cast<u32>(text.GetCharacterCount());
    if (!vertices || characters == 0 || !text.GetTextureView()) return;
    GpuDevice& device = frame.device;
    device.IASetPrimitiveTopology(GpuTopology::TriangleList);
    frame.SetMatrix(EffectVarId::guiWorldViewProj, wvp);
    frame.SetTexture(EffectVarId::guiDiffuseMap, text.GetTextureView());
    frame.Var(EffectVarId::alphaVal)->SetFloat(1.0f);
    const u32 stride = 32, offset = 0;
    device.IASetVertexBuffers(0, 1, &vertices, &stride, &offset);
    if (frame.Apply(TechniqueId::TextTech)) device.Draw(6 * characters, 0);
}
