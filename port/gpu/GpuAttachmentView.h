// Mip 0 of a 2D texture as a framebuffer attachment: the common part of the
// render-target and depth-stencil views. Keeps its texture alive; the
// framebuffers made for it go when it goes. Shared by its owner and by the
// device while bound. Main thread only.
#pragma once
#include <cstdint>
#include <memory>

#include "port/gpu/GpuTexture.h"

class GpuAttachmentView : public std::enable_shared_from_this<GpuAttachmentView> {
public:
    explicit GpuAttachmentView(std::shared_ptr<GpuTexture> texture);
    virtual ~GpuAttachmentView();
    GpuAttachmentView(const GpuAttachmentView&) = delete;
    GpuAttachmentView& operator=(const GpuAttachmentView&) = delete;

    bool Valid() const { return texture_ && texture_->Valid(); }
    GpuTexture* Texture() const { return texture_.get(); }
    std::uint64_t Serial() const { return serial_; }

private:
    std::shared_ptr<GpuTexture> texture_;
    std::uint64_t serial_ = 0;
};
