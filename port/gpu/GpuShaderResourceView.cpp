#include "port/gpu/GpuShaderResourceView.h"

#include <epoxy/gl.h>

#include "port/gpu/GlFormat.h"
#include "port/gpu/GpuContext.h"

namespace {

GpuSrvDimension DimensionOfTarget(GLenum target) {
    switch (target) {
        case GL_TEXTURE_1D:
            return GpuSrvDimension::Texture1D;
        case GL_TEXTURE_2D_ARRAY:
            return GpuSrvDimension::Texture2DArray;
        case GL_TEXTURE_CUBE_MAP:
            return GpuSrvDimension::TextureCube;
        default:
            return GpuSrvDimension::Texture2D;
    }
}

GLenum TargetOfDimension(GpuSrvDimension d) {
    switch (d) {
        case GpuSrvDimension::Texture1D:
            return GL_TEXTURE_1D;
        case GpuSrvDimension::Texture2DArray:
            return GL_TEXTURE_2D_ARRAY;
        case GpuSrvDimension::TextureCube:
            return GL_TEXTURE_CUBE_MAP;
        default:
            return GL_TEXTURE_2D;
    }
}

}  // namespace

GpuShaderResourceView::GpuShaderResourceView(std::shared_ptr<GpuTexture> texture, const GpuSrvDesc& desc)
    : texture_(std::move(texture)) {
    if (!texture_ || !texture_->Valid()) return;
    const GpuTextureDesc& td = texture_->GetDesc();
    const GLenum own = texture_->GlTarget();
    dimension_ = desc.dimension == GpuSrvDimension::Default ? DimensionOfTarget(own) : desc.dimension;
    const GLenum wanted = TargetOfDimension(dimension_);
    const unsigned mips = desc.mipLevels ? desc.mipLevels : td.mipLevels - desc.mostDetailedMip;
    const unsigned slices = desc.arraySize ? desc.arraySize : td.arraySize - desc.firstArraySlice;
    const bool whole =
        desc.mostDetailedMip == 0 && mips == td.mipLevels && desc.firstArraySlice == 0 && slices == td.arraySize;
    if (wanted == own && whole) {
        glName_ = texture_->GlName();
        glTarget_ = own;
        return;
    }
    // A different dimension or a part of the texture: a GL texture view.
    if (desc.mostDetailedMip + mips > td.mipLevels || desc.firstArraySlice + slices > td.arraySize) return;
    if (wanted == GL_TEXTURE_CUBE_MAP && slices != 6) return;
    glGenTextures(1, &glName_);
    glTextureView(glName_, wanted, texture_->GlName(), GlFormatOf(td.format).internalFormat, desc.mostDetailedMip, mips,
                  desc.firstArraySlice, slices);
    if (glGetError() != GL_NO_ERROR) {
        glDeleteTextures(1, &glName_);
        glName_ = 0;
        return;
    }
    glTarget_ = wanted;
    ownsView_ = true;
}

GpuShaderResourceView::~GpuShaderResourceView() {
    if (ownsView_ && glName_ && GpuContext::AnyCurrent()) glDeleteTextures(1, &glName_);
}
