// The size-dependent objects of the renderer: the back-buffer view, the five
// R8G8B8A8 colour targets, the SSAO target, the depth-stencil texture with its
// two views (the back buffer and the G-buffer passes share it), the two float
// targets of the per-pixel inputs of the lights and the occlusion, the
// two depth-stencil states and the wireframe rasterizer state. Made by the
// GraphicsSystem at every resize and released before the next; the deferred
// steps' own targets (the G-buffer set) can come later than the rest, since a
// picture without models or lights draws straight into the back buffer.
// Main thread.
#pragma once
#include <memory>

#include "core/Types.h"

class GpuDepthStencilView;
class GpuDevice;
class GpuRenderTargetView;
class GpuShaderResourceView;
class GpuSwapChain;
class GpuTexture;
struct GpuDepthStencilState;
struct GpuRasterizerState;

struct ColourTarget {
    std::shared_ptr<GpuTexture> texture;
    std::shared_ptr<GpuRenderTargetView> target;
    std::shared_ptr<GpuShaderResourceView> view;
    bool Valid() const { return texture && target && view; }
};

class RenderTargets {
public:
    // The picture is at most this many pixels on a side: the targets then
    // take 61 bytes a pixel, 3.8 GiB at 8192 x 8192.
    static constexpr u32 kMaxSide = 8192;
    // The size of the targets for a window of width x height: the same, or
    // scaled down keeping the shape (each side at least 1) so that neither
    // side passes kMaxSide nor deviceMaxSide (0: no device bound).
    static void FitSize(u32 width, u32 height, u32 deviceMaxSide, u32* fitWidth, u32* fitHeight);

    // Takes the swap chain's present back buffer, then makes, in this order,
    // the depth texture, depthOnState, depthOffState, the depth views and
    // wireframeState; with `deferred`, then the G-buffer set (CreateDeferred).
    void Create(GpuDevice& device, GpuSwapChain& swapChain, u32 width, u32 height, bool deferred = true);
    // Makes, at the size of Create, Normals, DiffuseSpec, Glow, StagedBlur,
    // Light, SSAO and the two per-pixel inputs.
    void CreateDeferred(GpuDevice& device);
    bool HasDeferred() const { return normals.Valid(); }
    void Release();

    u32 width = 0;
    u32 height = 0;
    std::shared_ptr<GpuRenderTargetView> backBuffer;
    ColourTarget normals;
    ColourTarget diffuseSpec;
    ColourTarget glow;
    ColourTarget stagedBlur;
    ColourTarget light;
    ColourTarget ssao;
    std::shared_ptr<GpuTexture> depthTexture;
    std::shared_ptr<GpuDepthStencilView> depthStencil;
    std::shared_ptr<GpuShaderResourceView> depthView;
    // Written by the lighting step before its lights, so that later steps can
    // read what they need of the depth while the depth buffer is bound for
    // their depth test (a texture may not be read while attached), both
    // R32G32B32A32_FLOAT: each pixel's view-space position and its depth (as
    // shaders read it through depthView), which the lights and the occlusion
    // read; and its view-space unit normal and specular strength.
    ColourTarget lightPosition;
    ColourTarget lightNormal;
    std::shared_ptr<GpuDepthStencilState> depthOnState;
    std::shared_ptr<GpuDepthStencilState> depthOffState;
    std::shared_ptr<GpuRasterizerState> wireframeState;
};
