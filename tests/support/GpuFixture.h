// The offscreen GPU fixture: the port window (SDL offscreen driver on Mesa),
// the device and swap chain on it, and helpers to render into a small target
// and read it back. Used by the GPU layer's GL tests; main thread only.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "port/gpu/GpuDevice.h"
#include "port/gpu/GpuSwapChain.h"
#include "port/window/PortWindow.h"

struct GpuTestRig {
    std::unique_ptr<PortWindow> window;
    std::shared_ptr<GpuDevice> device;
    std::unique_ptr<GpuSwapChain> swapChain;
    std::string error;

    bool Start(int width = 64, int height = 64) {
        window = PortWindow::Create("gpu test", width, height, &error);
        if (!window) return false;
        return GpuCreateDeviceAndSwapChain(window->NativeWindow(), width, height, &device, &swapChain, &error);
    }
    ~GpuTestRig() {
        swapChain.reset();
        device.reset();
        window.reset();
    }

    // A colour target of w x h (R8G8B8A8) with its views.
    struct Target {
        std::shared_ptr<GpuTexture> texture;
        std::shared_ptr<GpuRenderTargetView> rtv;
        std::shared_ptr<GpuShaderResourceView> srv;
    };
    Target MakeTarget(unsigned w, unsigned h, GpuFormat format = GpuFormat::R8G8B8A8_UNORM) {
        GpuTextureDesc d;
        d.width = w;
        d.height = h;
        d.format = format;
        d.bindFlags = GpuBindRenderTarget | GpuBindShaderResource;
        Target t;
        t.texture = device->CreateTexture(d);
        t.rtv = device->CreateRenderTargetView(t.texture);
        t.srv = device->CreateShaderResourceView(t.texture);
        return t;
    }
    void BindTarget(const Target& t, GpuDepthStencilView* depth = nullptr) {
        GpuRenderTargetView* rtv = t.rtv.get();
        device->OMSetRenderTargets(1, &rtv, depth);
        GpuViewport vp;
        vp.width = static_cast<float>(t.texture->GetDesc().width);
        vp.height = static_cast<float>(t.texture->GetDesc().height);
        device->RSSetViewports(1, &vp);
    }
    static std::vector<std::uint8_t> Read(const Target& t) {
        std::vector<std::uint8_t> bytes;
        t.texture->ReadBack(0, &bytes);
        return bytes;
    }
};

#define START_RIG(rig, ...) \
    GpuTestRig rig;         \
    ASSERT_TRUE(rig.Start(__VA_ARGS__)) << rig.error

inline const std::uint8_t* Texel(const std::vector<std::uint8_t>& bytes, unsigned width, unsigned x, unsigned y) {
    return &bytes[(static_cast<size_t>(y) * width + x) * 4];
}
