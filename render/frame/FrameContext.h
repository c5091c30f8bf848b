// What every step of one frame works with: the device and the frame
// resources of the GraphicsSystem, the frame's matrices and camera, and the small
// operations the steps share (unbinding inputs, setting effect variables,
// applying a technique, drawing a model or the full-screen quad). Made on
// the stack by the FramePipeline for one frame; borrows everything it names.
// Main thread only.
#pragma once
#include "core/Types.h"
#include "port/math/D3DX.h"
#include "render/effect/EffectTable.h"
#include "render/frame/FramePass.h"
#include "render/frame/FrameResources.h"

class Camera;
class GpuDevice;
class GpuRenderTargetView;
class GpuShaderResourceView;
class GpuEffectVariable;
class GraphicsSystem;
class Material;
class Model;

// The matrices of a frame (D3DX row-vector convention).
struct FrameMatrices {
    D3DXMATRIX view;
    D3DXMATRIX projection;
    D3DXMATRIX viewProjection;  // view x projection
    D3DXMATRIX screenView;
    D3DXMATRIX screenProjection;
};

class FrameContext {
public:
    FrameContext(GraphicsSystem& graphics, GpuDevice& device, const FrameMatrices& matrices,
                 const FrameRecorder& recorder);

    void Record(FramePass pass, u32 count = 0) const {
        if (recorder_) recorder_(pass, count);
    }
    // No shader resources bound to the first six slots (a target about to be
    // written must not stay bound for reading).
    void UnbindInputs() const;
    GpuEffectVariable* Var(EffectVarId id) const { return effects.Variable(id); }
    void SetMatrix(EffectVarId id, const D3DXMATRIX& m) const;
    void SetTexture(EffectVarId id, GpuShaderResourceView* view) const;
    // Applies the pass (0 unless the technique has several); false (nothing
    // applied) when the technique or the pass is missing, so the caller skips
    // its draw.
    bool Apply(TechniqueId id, u32 pass = 0) const;
    // One colour target, with or without the shared depth buffer.
    void SetTarget(GpuRenderTargetView* target, bool withDepth) const;
    // Binds the model's buffers and draws it (indexed when it has indices).
    void DrawModel(const Model& model) const;
    // The full-screen quad built at Init; false when it is missing.
    bool DrawQuad() const;

    // The solid texture of one colour from RenderResources (null without it).
    static GpuShaderResourceView* Solid(const D3DXCOLOR& colour);
    static GpuShaderResourceView* DiffuseOrWhite(const Material& material);

    GraphicsSystem& graphics;
    GpuDevice& device;
    FrameResources& res;
    const EffectTable& effects;
    const RenderTargets& targets;
    RenderLists& lists;
    const FrameMatrices& m;
    Camera* camera = nullptr;  // the active camera; null when none is registered
    bool paused = false;       // the GraphicsSystem is paused

private:
    const FrameRecorder& recorder_;
};
