#include "port/gpu/GpuTexture.h"

#include <algorithm>
#include <cstring>

#include "port/gpu/GlFormat.h"
#include "port/gpu/GpuContext.h"

namespace {

// Whether the GL implementation can hold a texture of this size: its
// largest 1-D/2-D, cube and array sizes.
bool WithinLimits(const GpuTextureDesc& desc, bool cube) {
    GLint maxSize = 0, maxCube = 0, maxLayers = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    glGetIntegerv(GL_MAX_CUBE_MAP_TEXTURE_SIZE, &maxCube);
    glGetIntegerv(GL_MAX_ARRAY_TEXTURE_LAYERS, &maxLayers);
    const std::uint64_t side = cube ? static_cast<std::uint64_t>(maxCube) : static_cast<std::uint64_t>(maxSize);
    if (desc.width > side || desc.height > side) return false;
    return cube || desc.arraySize <= 1 || desc.arraySize <= static_cast<std::uint64_t>(maxLayers);
}

std::uint32_t FullMipCount(std::uint32_t w, std::uint32_t h) {
    std::uint32_t levels = 1;
    while (w > 1 || h > 1) {
        w = std::max(1u, w / 2);
        h = std::max(1u, h / 2);
        ++levels;
    }
    return levels;
}

}  // namespace

GpuTexture::GpuTexture(std::shared_ptr<GpuContext> context, const GpuTextureDesc& desc)
    : context_(std::move(context)), desc_(desc) {
    const GlFormat gl = GlFormatOf(desc.format);
    if (!gl.internalFormat || desc.width == 0 || desc.height == 0 || desc.arraySize == 0) return;
    if (GpuFormatIsCompressed(desc.format) && !context_->HasS3tc()) return;
    const bool cube = (desc.miscFlags & GpuMiscTextureCube) && desc.arraySize == 6;
    if (cube && desc.width != desc.height) return;  // cube faces are square
    if (!WithinLimits(desc, cube)) return;
    const std::uint32_t fullChain = FullMipCount(desc.width, desc.height);
    if (desc_.mipLevels == 0 || desc_.mipLevels > fullChain) desc_.mipLevels = fullChain;

    const GLsizei w = static_cast<GLsizei>(desc.width), h = static_cast<GLsizei>(desc.height);
    const GLsizei levels = static_cast<GLsizei>(desc_.mipLevels);
    if (desc.dimension == GpuTextureDimension::Texture1D) {
        target_ = desc.arraySize > 1 ? GL_TEXTURE_1D_ARRAY : GL_TEXTURE_1D;
        glCreateTextures(target_, 1, &name_);
        if (desc.arraySize > 1)
            glTextureStorage2D(name_, levels, gl.internalFormat, w, static_cast<GLsizei>(desc.arraySize));
        else
            glTextureStorage1D(name_, levels, gl.internalFormat, w);
    } else if (cube) {
        target_ = GL_TEXTURE_CUBE_MAP;
        glCreateTextures(target_, 1, &name_);
        glTextureStorage2D(name_, levels, gl.internalFormat, w, h);
    } else if (desc.arraySize > 1) {
        target_ = GL_TEXTURE_2D_ARRAY;
        glCreateTextures(target_, 1, &name_);
        glTextureStorage3D(name_, levels, gl.internalFormat, w, h, static_cast<GLsizei>(desc.arraySize));
    } else {
        target_ = GL_TEXTURE_2D;
        glCreateTextures(target_, 1, &name_);
        glTextureStorage2D(name_, levels, gl.internalFormat, w, h);
    }
    glTextureParameteri(name_, GL_TEXTURE_MAX_LEVEL, levels - 1);
}

GpuTexture::~GpuTexture() {
    if (name_ && GpuContext::AnyCurrent()) glDeleteTextures(1, &name_);
}

std::uint32_t GpuTexture::MipWidth(unsigned mip) const {
    return std::max(1u, desc_.width >> mip);
}
std::uint32_t GpuTexture::MipHeight(unsigned mip) const {
    return std::max(1u, desc_.height >> mip);
}

std::uint32_t GpuTexture::RowBytes(unsigned mip) const {
    if (GpuFormatIsCompressed(desc_.format)) return ((MipWidth(mip) + 3) / 4) * GpuFormatBytes(desc_.format);
    return MipWidth(mip) * GpuFormatBytes(desc_.format);
}

std::uint32_t GpuTexture::SubresourceBytes(unsigned mip) const {
    const std::uint32_t rows = GpuFormatIsCompressed(desc_.format) ? (MipHeight(mip) + 3) / 4 : MipHeight(mip);
    return RowBytes(mip) * rows;
}

bool GpuTexture::Map(unsigned subresource, GpuMap, GpuMappedSubresource* mapped) {
    if (!name_ || !mapped || mappedSubresource_ >= 0 || !(desc_.cpuAccessFlags & GpuCpuAccessWrite)) return false;
    if (subresource >= desc_.mipLevels * desc_.arraySize) return false;
    const unsigned mip = subresource % desc_.mipLevels;
    mapCopy_.resize(SubresourceBytes(mip));
    mappedSubresource_ = static_cast<int>(subresource);
    mapped->data = mapCopy_.data();
    mapped->rowPitch = RowBytes(mip);
    return true;
}

void GpuTexture::Unmap(unsigned subresource) {
    if (mappedSubresource_ != static_cast<int>(subresource)) return;
    mappedSubresource_ = -1;
    Update(subresource, mapCopy_.data(), RowBytes(subresource % desc_.mipLevels));
    // The texels are in the texture now; the copy would double its memory.
    std::vector<std::uint8_t>().swap(mapCopy_);
}

void GpuTexture::Update(unsigned subresource, const void* data, std::uint32_t rowPitch) {
    if (!name_ || !data || subresource >= desc_.mipLevels * desc_.arraySize) return;
    const GLint mip = static_cast<GLint>(subresource % desc_.mipLevels);
    const GLint slice = static_cast<GLint>(subresource / desc_.mipLevels);
    const GLsizei w = static_cast<GLsizei>(MipWidth(mip)), h = static_cast<GLsizei>(MipHeight(mip));
    const GlFormat gl = GlFormatOf(desc_.format);

    if (GpuFormatIsCompressed(desc_.format)) {
        // Compressed rows are taken as tightly packed block rows.
        const GLsizei bytes = static_cast<GLsizei>(SubresourceBytes(mip));
        if (target_ == GL_TEXTURE_2D)
            glCompressedTextureSubImage2D(name_, mip, 0, 0, w, h, gl.internalFormat, bytes, data);
        else
            glCompressedTextureSubImage3D(name_, mip, 0, 0, slice, w, h, 1, gl.internalFormat, bytes, data);
        return;
    }
    const std::uint32_t texel = GpuFormatBytes(desc_.format);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, rowPitch && rowPitch % texel == 0 ? static_cast<GLint>(rowPitch / texel) : 0);
    switch (target_) {
        case GL_TEXTURE_1D:
            glTextureSubImage1D(name_, mip, 0, w, gl.format, gl.type, data);
            break;
        case GL_TEXTURE_1D_ARRAY:
            glTextureSubImage2D(name_, mip, 0, slice, w, 1, gl.format, gl.type, data);
            break;
        case GL_TEXTURE_2D:
            glTextureSubImage2D(name_, mip, 0, 0, w, h, gl.format, gl.type, data);
            break;
        default:
            glTextureSubImage3D(name_, mip, 0, 0, slice, w, h, 1, gl.format, gl.type, data);
            break;
    }
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
}

bool GpuTexture::ReadBack(unsigned subresource, std::vector<std::uint8_t>* bytes) const {
    if (!name_ || !bytes) return false;
    if (subresource >= desc_.mipLevels * desc_.arraySize) return false;
    const GLint mip = static_cast<GLint>(subresource % desc_.mipLevels);
    const GLint slice = static_cast<GLint>(subresource / desc_.mipLevels);
    GlFormat gl = GlFormatOf(desc_.format);
    const GLsizei w = static_cast<GLsizei>(MipWidth(mip)), h = static_cast<GLsizei>(MipHeight(mip));
    if (GpuFormatIsCompressed(desc_.format)) {
        gl = GlFormatOf(GpuFormat::R8G8B8A8_UNORM);  // the driver decompresses
        bytes->assign(static_cast<size_t>(w) * h * 4, 0);
    } else {
        bytes->assign(SubresourceBytes(mip), 0);
    }
    const bool layered = target_ != GL_TEXTURE_1D && target_ != GL_TEXTURE_2D;
    if (target_ == GL_TEXTURE_1D_ARRAY)
        glGetTextureSubImage(name_, mip, 0, slice, 0, w, 1, 1, gl.format, gl.type, static_cast<GLsizei>(bytes->size()),
                             bytes->data());
    else
        glGetTextureSubImage(name_, mip, 0, 0, layered ? slice : 0, w, h, 1, gl.format, gl.type,
                             static_cast<GLsizei>(bytes->size()), bytes->data());
    return true;
}
