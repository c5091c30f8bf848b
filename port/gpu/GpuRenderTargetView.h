// Mip 0 of a 2D texture as a colour render target. Keeps its texture alive;
// framebuffers made for it go when it goes. Made by GpuDevice, shared by its
// owner and by the device while bound. Main thread only.
#pragma once
#include <cstdint>
#include <memory>

#include "port/gpu/GpuTexture.h"

class GpuRenderTargetView : public std::enable_shared_from_this<GpuRenderTargetView> {
public:
    explicit GpuRenderTargetView(std::shared_ptr<GpuTexture> texture);
    ~GpuRenderTargetView();
    GpuRenderTargetView(const GpuRenderTargetView&) = delete;
    GpuRenderTargetView& operator=(const GpuRenderTargetView&) = delete;

    bool Valid() const { return texture_ && texture_->Valid(); }
    GpuTexture* Texture() const { return texture_.get(); }
    std::uint64_t Serial() const { return serial_; }

private:
    std::shared_ptr<GpuTexture> texture_;
    std::uint64_t serial_ = 0;
};
