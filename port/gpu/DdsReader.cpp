#include "port/gpu/DdsReader.h"

#include <algorithm>
#include <cstring>

#include "port/gpu/GpuImage.h"

namespace {

constexpr std::uint32_t kHeaderSize = 124;
constexpr std::uint32_t kMaxDimension = 16384;
constexpr std::uint32_t kMaxArraySize = 2048;

constexpr std::uint32_t kFlagMipCount = 0x20000;
constexpr std::uint32_t kPfAlphaPixels = 0x1;
constexpr std::uint32_t kPfAlpha = 0x2;
constexpr std::uint32_t kPfFourCC = 0x4;
constexpr std::uint32_t kPfRgb = 0x40;
constexpr std::uint32_t kPfLuminance = 0x20000;
constexpr std::uint32_t kCaps2Cube = 0x200;
constexpr std::uint32_t kCaps2AllFaces = 0xFC00;
constexpr std::uint32_t kCaps2Volume = 0x200000;

constexpr std::uint32_t FourCC(char a, char b, char c, char d) {
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(a)) |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(b)) << 8 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(c)) << 16 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(d)) << 24;
}

std::uint32_t Read32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// One channel of a packed pixel, scaled to 8 bits; `absent` when the mask is 0.
std::uint8_t Channel(std::uint32_t pixel, std::uint32_t mask, std::uint8_t absent) {
    if (mask == 0) return absent;
    unsigned shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    const std::uint32_t bits = mask >> shift;
    const std::uint32_t max = bits;  // all ones of the channel's width
    const std::uint32_t value = (pixel & mask) >> shift;
    return static_cast<std::uint8_t>((static_cast<std::uint64_t>(value) * 255 + max / 2) / max);
}

struct Layout {
    GpuFormat format = GpuFormat::Unknown;  // Unknown: uncompressed with masks
    std::uint32_t bitCount = 0;
    std::uint32_t masks[4] = {};  // r, g, b, a
    bool luminance = false;
};

bool FromDxgi(std::uint32_t dxgi, Layout* layout) {
    switch (dxgi) {
        case 28:
        case 29:  // R8G8B8A8_UNORM (_SRGB)
            *layout = {GpuFormat::Unknown, 32, {0xFF, 0xFF00, 0xFF0000, 0xFF000000u}, false};
            return true;
        case 87:
        case 91:  // B8G8R8A8_UNORM (_SRGB)
            *layout = {GpuFormat::Unknown, 32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000u}, false};
            return true;
        case 88:
        case 93:  // B8G8R8X8_UNORM (_SRGB)
            *layout = {GpuFormat::Unknown, 32, {0xFF0000, 0xFF00, 0xFF, 0}, false};
            return true;
        case 71:
        case 72:
            layout->format = GpuFormat::BC1_UNORM;
            return true;
        case 74:
        case 75:
            layout->format = GpuFormat::BC2_UNORM;
            return true;
        case 77:
        case 78:
            layout->format = GpuFormat::BC3_UNORM;
            return true;
        default:
            return false;
    }
}

}  // namespace

bool IsDdsFile(const std::uint8_t* bytes, size_t size) {
    return size >= 4 && std::memcmp(bytes, "DDS ", 4) == 0;
}

bool ReadDds(const std::uint8_t* bytes, size_t size, GpuImage* image, std::string* error) {
    auto fail = [&](const char* why) {
        if (error) *error = std::string("DDS: ") + why;
        return false;
    };
    if (!IsDdsFile(bytes, size)) return fail("not a DDS file");
    if (size < 4 + kHeaderSize) return fail("file too short for its header");
    const std::uint8_t* h = bytes + 4;
    if (Read32(h) != kHeaderSize) return fail("bad header size");
    const std::uint32_t flags = Read32(h + 4);
    const std::uint32_t height = Read32(h + 8);
    const std::uint32_t width = Read32(h + 12);
    std::uint32_t mips = (flags & kFlagMipCount) ? Read32(h + 24) : 1;
    const std::uint32_t pfFlags = Read32(h + 76);
    const std::uint32_t fourCC = Read32(h + 80);
    const std::uint32_t caps2 = Read32(h + 108);
    size_t offset = 4 + kHeaderSize;

    if (width == 0 || height == 0 || width > kMaxDimension || height > kMaxDimension) return fail("unsupported size");
    if (caps2 & kCaps2Volume) return fail("volume textures are not supported");
    if (mips == 0) mips = 1;
    std::uint32_t fullChain = 1;
    for (std::uint32_t w = width, hh = height; w > 1 || hh > 1; w = std::max(1u, w / 2), hh = std::max(1u, hh / 2))
        ++fullChain;
    if (mips > fullChain) return fail("more mip levels than the size allows");

    Layout layout;
    std::uint32_t arraySize = 1;
    bool cube = false;
    if (pfFlags & kPfFourCC) {
        if (fourCC == FourCC('D', 'X', 'T', '1')) {
            layout.format = GpuFormat::BC1_UNORM;
        } else if (fourCC == FourCC('D', 'X', 'T', '2') || fourCC == FourCC('D', 'X', 'T', '3')) {
            layout.format = GpuFormat::BC2_UNORM;
        } else if (fourCC == FourCC('D', 'X', 'T', '4') || fourCC == FourCC('D', 'X', 'T', '5')) {
            layout.format = GpuFormat::BC3_UNORM;
        } else if (fourCC == FourCC('D', 'X', '1', '0')) {
            if (size < offset + 20) return fail("file too short for its DX10 header");
            const std::uint8_t* x = bytes + offset;
            if (!FromDxgi(Read32(x), &layout)) return fail("unsupported DXGI format");
            if (Read32(x + 4) != 3) return fail("only 2D textures are supported");
            cube = (Read32(x + 8) & 0x4) != 0;
            arraySize = Read32(x + 12);
            if (arraySize == 0 || arraySize > kMaxArraySize) return fail("unsupported array size");
            if (cube) arraySize *= 6;
            offset += 20;
        } else {
            return fail("unsupported compression");
        }
    } else if (pfFlags & (kPfRgb | kPfLuminance | kPfAlpha)) {
        layout.bitCount = Read32(h + 84);
        for (int k = 0; k < 4; ++k) layout.masks[k] = Read32(h + 88 + 4 * k);
        if (!(pfFlags & (kPfAlphaPixels | kPfAlpha))) layout.masks[3] = 0;
        layout.luminance = (pfFlags & kPfLuminance) != 0;
        if (pfFlags & kPfAlpha && !(pfFlags & (kPfRgb | kPfLuminance)))
            layout.masks[0] = layout.masks[1] = layout.masks[2] = 0;
        if (layout.bitCount != 8 && layout.bitCount != 16 && layout.bitCount != 24 && layout.bitCount != 32)
            return fail("unsupported bit count");
    } else {
        return fail("unsupported pixel format");
    }
    if (!(pfFlags & kPfFourCC && fourCC == FourCC('D', 'X', '1', '0')) && (caps2 & kCaps2Cube)) {
        if ((caps2 & kCaps2AllFaces) != kCaps2AllFaces) return fail("cube maps need all six faces");
        cube = true;
        arraySize = 6;
    }

    if (cube && width != height) return fail("cube faces are not square");

    image->format = layout.format == GpuFormat::Unknown ? GpuFormat::R8G8B8A8_UNORM : layout.format;
    image->width = width;
    image->height = height;
    image->mipLevels = mips;
    image->arraySize = arraySize;
    image->cube = cube;
    image->subresources.clear();
    image->subresources.resize(static_cast<size_t>(mips) * arraySize);

    for (std::uint32_t slice = 0; slice < arraySize; ++slice) {
        for (std::uint32_t mip = 0; mip < mips; ++mip) {
            std::vector<std::uint8_t>& out = image->subresources[slice * mips + mip];
            const std::uint32_t w = image->MipWidth(mip), hh = image->MipHeight(mip);
            if (layout.format != GpuFormat::Unknown) {
                const size_t bytesNeeded = image->SubresourceBytes(mip);
                if (size - offset < bytesNeeded) return fail("file too short for its image data");
                out.assign(bytes + offset, bytes + offset + bytesNeeded);
                offset += bytesNeeded;
                continue;
            }
            const size_t texel = layout.bitCount / 8;
            const size_t bytesNeeded = static_cast<size_t>(w) * hh * texel;
            if (size - offset < bytesNeeded) return fail("file too short for its image data");
            out.resize(static_cast<size_t>(w) * hh * 4);
            const std::uint8_t* src = bytes + offset;
            for (size_t i = 0; i < static_cast<size_t>(w) * hh; ++i) {
                std::uint32_t pixel = 0;
                for (size_t b = 0; b < texel; ++b) pixel |= static_cast<std::uint32_t>(src[i * texel + b]) << (8 * b);
                std::uint8_t* d = &out[i * 4];
                if (layout.luminance) {
                    d[0] = d[1] = d[2] = Channel(pixel, layout.masks[0], 0);
                } else {
                    d[0] = Channel(pixel, layout.masks[0], 0);
                    d[1] = Channel(pixel, layout.masks[1], 0);
                    d[2] = Channel(pixel, layout.masks[2], 0);
                }
                d[3] = Channel(pixel, layout.masks[3], 255);
            }
            offset += bytesNeeded;
        }
    }
    return true;
}
