// A texture as shaders read it (Direct3D's shader resource view): the texture
// itself, or a GL texture view when the view's dimension differs (a single
// 2D texture read as a 2D array). Keeps its texture alive. Made by
// GpuDevice; shared by its owner and by effect variables it is bound to.
// Main thread only.
#pragma once
#include <memory>

#include "port/gpu/GpuTexture.h"
#include "port/gpu/GpuTypes.h"

class GpuShaderResourceView : public std::enable_shared_from_this<GpuShaderResourceView> {
public:
    GpuShaderResourceView(std::shared_ptr<GpuTexture> texture, const GpuSrvDesc& desc);
    ~GpuShaderResourceView();
    GpuShaderResourceView(const GpuShaderResourceView&) = delete;
    GpuShaderResourceView& operator=(const GpuShaderResourceView&) = delete;

    bool Valid() const { return glName_ != 0; }
    GpuTexture* Texture() const { return texture_.get(); }
    const std::shared_ptr<GpuTexture>& SharedTexture() const { return texture_; }
    GpuSrvDimension Dimension() const { return dimension_; }
    unsigned GlName() const { return glName_; }
    unsigned GlTarget() const { return glTarget_; }

private:
    std::shared_ptr<GpuTexture> texture_;
    GpuSrvDimension dimension_ = GpuSrvDimension::Texture2D;
    unsigned glName_ = 0;
    unsigned glTarget_ = 0;
    bool ownsView_ = false;
};
