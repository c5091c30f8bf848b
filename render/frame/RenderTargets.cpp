#include "render/frame/RenderTargets.h"

#include <algorithm>

#include "port/gpu/GpuDevice.h"
#include "port/gpu/GpuSwapChain.h"

namespace {

ColourTarget MakeTarget(GpuDevice& device, u32 width, u32 height, GpuFormat format) {
    GpuTextureDesc desc;
    desc.width = width;
    desc.height = height;
    desc.format = format;
    desc.bindFlags = GpuBindRenderTarget | GpuBindShaderResource;
    ColourTarget t;
    t.texture = device.CreateTexture(desc);
    t.target = device.CreateRenderTargetView(t.texture);
    t.view = device.CreateShaderResourceView(t.texture);
    return t;
}

}  // namespace

void RenderTargets::FitSize(u32 width, u32 height, u32 deviceMaxSide, u32* fitWidth, u32* fitHeight) {
    const u32 limit = deviceMaxSide != 0 ? std::min(kMaxSide, deviceMaxSide) : kMaxSide;
    width = std::max(width, 1u);
    height = std::max(height, 1u);
    const u32 longer = std::max(width, height);
    if (longer <= limit) {
        *fitWidth = width;
        *fitHeight = height;
        return;
    }
    const double scale = static_cast<double>(limit) / longer;
    *fitWidth = std::clamp(static_cast<u32>(width * scale), 1u, limit);
    *fitHeight = std::clamp(static_cast<u32>(height * scale), 1u, limit);
}

void RenderTargets::Create(GpuDevice& device, GpuSwapChain& swapChain, u32 w, u32 h, bool deferred) {
    width = w;
    height = h;
    backBuffer = device.CreateRenderTargetView(swapChain.GetBuffer());

    GpuTextureDesc depthDesc;
    depthDesc.width = w;
    depthDesc.height = h;
    depthDesc.format = GpuFormat::R24G8_TYPELESS;
    depthDesc.bindFlags = GpuBindDepthStencil | GpuBindShaderResource;
    depthTexture = device.CreateTexture(depthDesc);

    // Depth test on, LESS, write all; stencil counts depth failures: front
    // faces increment, back faces decrement.
    GpuDepthStencilDesc on;
    on.depthEnable = true;
    on.depthWriteAll = true;
    on.depthFunc = GpuComparison::Less;
    on.stencilEnable = true;
    on.stencilReadMask = 0xFF;
    on.stencilWriteMask = 0xFF;
    on.frontFace = {GpuStencilOp::Keep, GpuStencilOp::Incr, GpuStencilOp::Keep, GpuComparison::Always};
    on.backFace = {GpuStencilOp::Keep, GpuStencilOp::Decr, GpuStencilOp::Keep, GpuComparison::Always};
    depthOnState = device.CreateDepthStencilState(on);
    GpuDepthStencilDesc off = on;
    off.depthEnable = false;
    off.stencilEnable = false;
    depthOffState = device.CreateDepthStencilState(off);

    depthStencil = device.CreateDepthStencilView(depthTexture);
    GpuSrvDesc depthRead;
    depthRead.format = GpuFormat::R24_UNORM_X8_TYPELESS;
    depthRead.dimension = GpuSrvDimension::Texture2D;
    depthRead.mipLevels = 1;
    depthView = device.CreateShaderResourceView(depthTexture, &depthRead);

    GpuRasterizerDesc wire;
    wire.fill = GpuFill::Wireframe;
    wire.cull = GpuCull::Back;
    wire.frontCounterClockwise = false;
    wire.depthClipEnable = true;
    wire.antialiasedLineEnable = true;
    wireframeState = device.CreateRasterizerState(wire);
    if (deferred) CreateDeferred(device);
}

void RenderTargets::CreateDeferred(GpuDevice& device) {
    // 53 bytes a pixel, which a driver may clear as it makes them: made only
    // once the deferred steps are needed.
    normals = MakeTarget(device, width, height, GpuFormat::R8G8B8A8_UNORM);
    diffuseSpec = MakeTarget(device, width, height, GpuFormat::R8G8B8A8_UNORM);
    glow = MakeTarget(device, width, height, GpuFormat::R8G8B8A8_UNORM);
    stagedBlur = MakeTarget(device, width, height, GpuFormat::R8G8B8A8_UNORM);
    light = MakeTarget(device, width, height, GpuFormat::R8G8B8A8_UNORM);
    ssao = MakeTarget(device, width, height, GpuFormat::R8_UNORM);
    lightPosition = MakeTarget(device, width, height, GpuFormat::R32G32B32A32_FLOAT);
    lightNormal = MakeTarget(device, width, height, GpuFormat::R32G32B32A32_FLOAT);
}

void RenderTargets::Release() {
    *this = RenderTargets();
}
