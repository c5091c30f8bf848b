// Mip 0 of a depth-stencil texture as the depth-stencil target. Keeps its
// texture alive; framebuffers made for it go when it goes. Made by GpuDevice,
// shared by its owner and by the device while bound. Main thread only.
#pragma once
#include <cstdint>
#include <memory>

#include "port/gpu/GpuTexture.h"

class GpuDepthStencilView : public std::enable_shared_from_this<GpuDepthStencilView> {
public:
    explicit GpuDepthStencilView(std::shared_ptr<GpuTexture> texture);
    ~GpuDepthStencilView();
    GpuDepthStencilView(const GpuDepthStencilView&) = delete;
    GpuDepthStencilView& operator=(const GpuDepthStencilView&) = delete;

    bool Valid() const { return texture_ && texture_->Valid(); }
    GpuTexture* Texture() const { return texture_.get(); }
    std::uint64_t Serial() const { return serial_; }

private:
    std::shared_ptr<GpuTexture> texture_;
    std::uint64_t serial_ = 0;
};
