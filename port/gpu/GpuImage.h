// A texture image in CPU memory: format, size, mip levels and array slices
// (six for a cube), each subresource tightly packed with its top row first.
// Read from PNG, JPG, TGA and BMP files through stb_image and from DDS files
// (DXT1/3/5 and plain 32/24-bit colour) by our own reader. Plain value;
// any thread.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "port/gpu/GpuTypes.h"

class GpuImage {
public:
    // Files larger than this are refused unread.
    static constexpr size_t kMaxFileBytes = size_t(512) << 20;
    // Images whose header declares more texel bytes than this (8192 x 8192
    // RGBA) are refused before they are decoded.
    static constexpr std::uint64_t kMaxDecodedBytes = std::uint64_t(256) << 20;

    GpuFormat format = GpuFormat::R8G8B8A8_UNORM;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t mipLevels = 1;
    std::uint32_t arraySize = 1;
    bool cube = false;
    // Index: slice * mipLevels + mip.
    std::vector<std::vector<std::uint8_t>> subresources;

    // Reads a file; the path's letter case is folded when it is not found as
    // written. FileNotFound / Failed with the reason in `error`, which names
    // the file. An image of more than maxTexelBytes (its top level as RGBA8)
    // is refused.
    GpuLoadStatus Load(const std::string& path, std::string* error, std::uint64_t maxTexelBytes = kMaxDecodedBytes);
    // Reads a file already in memory (format told by its contents).
    bool Decode(const std::uint8_t* bytes, size_t size, std::string* error,
                std::uint64_t maxTexelBytes = kMaxDecodedBytes);

    std::uint32_t MipWidth(unsigned mip) const;
    std::uint32_t MipHeight(unsigned mip) const;
    std::uint32_t RowBytes(unsigned mip) const;
    std::uint32_t SubresourceBytes(unsigned mip) const;

    // DXT data becomes R8G8B8A8_UNORM (no change for uncompressed images).
    void Decompress();
    // An R8G8B8A8 image resampled to width x height (bilinear) with `mips` levels
    // made by 2x2 averaging; every slice. Other formats are decompressed first.
    GpuImage Resized(std::uint32_t newWidth, std::uint32_t newHeight, std::uint32_t mips) const;
    // Allocates zeroed subresources for the present format, size and counts.
    void Allocate();
};
