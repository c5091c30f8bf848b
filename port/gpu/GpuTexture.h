// One texture (1D, 2D, 2D array or cube) with immutable storage. Made by
// GpuDevice; shared by its views (a view keeps its texture alive). Dynamic
// textures are filled through Map/Unmap (a CPU copy uploaded at Unmap).
// Main thread only.
#pragma once
#include <memory>
#include <vector>

#include "port/gpu/GpuTypes.h"

class GpuContext;

class GpuTexture {
public:
    GpuTexture(std::shared_ptr<GpuContext> context, const GpuTextureDesc& desc);
    ~GpuTexture();
    GpuTexture(const GpuTexture&) = delete;
    GpuTexture& operator=(const GpuTexture&) = delete;

    bool Valid() const { return name_ != 0; }
    // The description with the mip count resolved (never 0).
    const GpuTextureDesc& GetDesc() const { return desc_; }
    unsigned GlName() const { return name_; }
    unsigned GlTarget() const { return target_; }
    const std::shared_ptr<GpuContext>& Context() const { return context_; }

    // Only for textures made with CPU write access. The pointer stays valid
    // until Unmap, which uploads the whole subresource.
    bool Map(unsigned subresource, GpuMap mapType, GpuMappedSubresource* mapped);
    void Unmap(unsigned subresource);

    // Replaces a whole subresource (slice * mipLevels + mip) from CPU memory.
    void Update(unsigned subresource, const void* data, std::uint32_t rowPitch);

    // Test and tool use: reads a whole subresource back, rows top first
    // (compressed formats come back decompressed as R8G8B8A8).
    bool ReadBack(unsigned subresource, std::vector<std::uint8_t>* bytes) const;

    std::uint32_t MipWidth(unsigned mip) const;
    std::uint32_t MipHeight(unsigned mip) const;
    // Tightly packed bytes of one row / one subresource of a mip level
    // (rows of 4x4 blocks for compressed formats).
    std::uint32_t RowBytes(unsigned mip) const;
    std::uint32_t SubresourceBytes(unsigned mip) const;

private:
    std::shared_ptr<GpuContext> context_;
    GpuTextureDesc desc_;
    unsigned name_ = 0;
    unsigned target_ = 0;
    std::vector<std::uint8_t> mapCopy_;  // the texels between Map and Unmap only
    int mappedSubresource_ = -1;
};
