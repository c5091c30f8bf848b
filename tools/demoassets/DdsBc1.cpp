#include "tools/demoassets/DdsBc1.h"

#include <algorithm>
#include <cstring>

#define STB_DXT_STATIC
#define STB_DXT_IMPLEMENTATION
#include <stb/stb_dxt.h>

namespace {
void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint32_t Blocks(std::uint32_t size) {
    return std::max(1u, (size + 3) / 4);
}

// One level's blocks; a level smaller than a block repeats its edge texels.
void CompressLevel(const std::vector<std::uint8_t>& texels, std::uint32_t width, std::uint32_t height,
                   std::vector<std::uint8_t>& out) {
    for (std::uint32_t by = 0; by < Blocks(height); ++by)
        for (std::uint32_t bx = 0; bx < Blocks(width); ++bx) {
            std::uint8_t block[16 * 4];
            for (std::uint32_t y = 0; y < 4; ++y)
                for (std::uint32_t x = 0; x < 4; ++x) {
                    const std::uint32_t sx = std::min(width - 1, bx * 4 + x), sy = std::min(height - 1, by * 4 + y);
                    std::copy_n(&texels[(static_cast<size_t>(sy) * width + sx) * 4], 4, &block[(y * 4 + x) * 4]);
                }
            std::uint8_t packed[8];
            stb_compress_dxt_block(packed, block, 0, STB_DXT_HIGHQUAL);
            out.insert(out.end(), packed, packed + 8);
        }
}
}  // namespace

std::vector<std::uint8_t> EncodeBc1Dds(const GpuImage& image) {
    std::vector<std::uint8_t> out;
    Put32(out, 0x20534444u);  // "DDS "
    Put32(out, 124);
    Put32(out, 0x1 | 0x2 | 0x4 | 0x1000 | 0x20000 | 0x80000);  // caps, height, width, pixel format, mips, linear size
    Put32(out, image.height);
    Put32(out, image.width);
    Put32(out, Blocks(image.width) * Blocks(image.height) * 8);
    Put32(out, 0);  // depth
    Put32(out, image.mipLevels);
    for (int i = 0; i < 11; ++i) Put32(out, 0);
    Put32(out, 32);                                  // pixel format size
    Put32(out, 0x4);                                 // four-character code
    Put32(out, 0x31545844u);                         // "DXT1"
    for (int i = 0; i < 5; ++i) Put32(out, 0);       // bit count and masks
    Put32(out, 0x1000 | 0x8 | 0x400000);             // texture, complex, mip map
    Put32(out, image.cube ? 0x200u | 0xFC00u : 0u);  // a cube with all six faces
    for (int i = 0; i < 3; ++i) Put32(out, 0);
    for (std::uint32_t slice = 0; slice < image.arraySize; ++slice)
        for (std::uint32_t mip = 0; mip < image.mipLevels; ++mip)
            CompressLevel(image.subresources[slice * image.mipLevels + mip], image.MipWidth(mip), image.MipHeight(mip),
                          out);
    return out;
}
