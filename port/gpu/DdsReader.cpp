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

// The header fields the reader uses, with the mip count made at least 1.
struct Header {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t mips = 1;
    std::uint32_t pfFlags = 0;
    std::uint32_t fourCC = 0;
    std::uint32_t caps2 = 0;
    const std::uint8_t* raw = nullptr;  // the header itself, for the channel masks
};

// How many textures the file holds and whether they are cube faces.
struct Slices {
    std::uint32_t arraySize = 1;
    bool cube = false;
};

// The functions below return null, or why the file cannot be read.

// Size, kind and mip count: the sizes the rest of the file must match.
const char* ReadHeader(const std::uint8_t* bytes, size_t size, Header* header) {
    if (!IsDdsFile(bytes, size)) return "not a DDS file";
    if (size < 4 + kHeaderSize) return "file too short for its header";
    const std::uint8_t* h = bytes + 4;
    if (Read32(h) != kHeaderSize) return "bad header size";
    const std::uint32_t flags = Read32(h + 4);
    header->height = Read32(h + 8);
    header->width = Read32(h + 12);
    header->mips = (flags & kFlagMipCount) ? Read32(h + 24) : 1;
    header->pfFlags = Read32(h + 76);
    header->fourCC = Read32(h + 80);
    header->caps2 = Read32(h + 108);
    header->raw = h;

    const std::uint32_t width = header->width, height = header->height;
    if (width == 0 || height == 0 || width > kMaxDimension || height > kMaxDimension) return "unsupported size";
    if (header->caps2 & kCaps2Volume) return "volume textures are not supported";
    if (header->mips == 0) header->mips = 1;
    std::uint32_t fullChain = 1;
    for (std::uint32_t w = width, hh = height; w > 1 || hh > 1; w = std::max(1u, w / 2), hh = std::max(1u, hh / 2))
        ++fullChain;
    if (header->mips > fullChain) return "more mip levels than the size allows";
    return nullptr;
}

bool IsDx10(const Header& header) {
    return (header.pfFlags & kPfFourCC) && header.fourCC == FourCC('D', 'X', '1', '0');
}

// The DX10 header after the main one: format, dimension, array size and the
// cube flag. Moves `offset` past it.
const char* ReadDx10Header(const std::uint8_t* bytes, size_t size, size_t* offset, Layout* layout, Slices* slices) {
    if (size < *offset + 20) return "file too short for its DX10 header";
    const std::uint8_t* x = bytes + *offset;
    if (!FromDxgi(Read32(x), layout)) return "unsupported DXGI format";
    if (Read32(x + 4) != 3) return "only 2D textures are supported";
    slices->cube = (Read32(x + 8) & 0x4) != 0;
    slices->arraySize = Read32(x + 12);
    if (slices->arraySize == 0 || slices->arraySize > kMaxArraySize) return "unsupported array size";
    if (slices->cube) slices->arraySize *= 6;
    *offset += 20;
    return nullptr;
}

// The pixel format: a compression code, or a bit count with channel masks.
const char* ReadPixelFormat(const Header& header, const std::uint8_t* bytes, size_t size, size_t* offset,
                            Layout* layout, Slices* slices) {
    const std::uint32_t pfFlags = header.pfFlags, fourCC = header.fourCC;
    if (pfFlags & kPfFourCC) {
        if (fourCC == FourCC('D', 'X', 'T', '1')) {
            layout->format = GpuFormat::BC1_UNORM;
        } else if (fourCC == FourCC('D', 'X', 'T', '2') || fourCC == FourCC('D', 'X', 'T', '3')) {
            layout->format = GpuFormat::BC2_UNORM;
        } else if (fourCC == FourCC('D', 'X', 'T', '4') || fourCC == FourCC('D', 'X', 'T', '5')) {
            layout->format = GpuFormat::BC3_UNORM;
        } else if (IsDx10(header)) {
            return ReadDx10Header(bytes, size, offset, layout, slices);
        } else {
            return "unsupported compression";
        }
        return nullptr;
    }
    if (!(pfFlags & (kPfRgb | kPfLuminance | kPfAlpha))) return "unsupported pixel format";
    const std::uint8_t* h = header.raw;
    layout->bitCount = Read32(h + 84);
    for (int k = 0; k < 4; ++k) layout->masks[k] = Read32(h + 88 + 4 * k);
    if (!(pfFlags & (kPfAlphaPixels | kPfAlpha))) layout->masks[3] = 0;
    layout->luminance = (pfFlags & kPfLuminance) != 0;
    if (pfFlags & kPfAlpha && !(pfFlags & (kPfRgb | kPfLuminance)))
        layout->masks[0] = layout->masks[1] = layout->masks[2] = 0;
    if (layout->bitCount != 8 && layout->bitCount != 16 && layout->bitCount != 24 && layout->bitCount != 32)
        return "unsupported bit count";
    return nullptr;
}

// A cube map without a DX10 header says so in its caps: all six faces or none.
const char* ReadCubeCaps(const Header& header, Slices* slices) {
    if (!IsDx10(header) && (header.caps2 & kCaps2Cube)) {
        if ((header.caps2 & kCaps2AllFaces) != kCaps2AllFaces) return "cube maps need all six faces";
        slices->cube = true;
        slices->arraySize = 6;
    }
    if (slices->cube && header.width != header.height) return "cube faces are not square";
    return nullptr;
}

// Packed pixels of `texel` bytes (little-endian) made R8G8B8A8 by the masks.
void ExpandPixels(const std::uint8_t* src, size_t count, size_t texel, const Layout& layout, std::uint8_t* out) {
    for (size_t i = 0; i < count; ++i) {
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
}

// One mip level of one slice from `offset` on: compressed blocks as they
// are, packed pixels expanded. Moves `offset` past what it read.
const char* ReadSubresource(const std::uint8_t* bytes, size_t size, size_t* offset, const Layout& layout,
                            const GpuImage& image, std::uint32_t mip, std::vector<std::uint8_t>* out) {
    if (layout.format != GpuFormat::Unknown) {
        const size_t bytesNeeded = image.SubresourceBytes(mip);
        if (size - *offset < bytesNeeded) return "file too short for its image data";
        out->assign(bytes + *offset, bytes + *offset + bytesNeeded);
        *offset += bytesNeeded;
        return nullptr;
    }
    const size_t pixels = static_cast<size_t>(image.MipWidth(mip)) * image.MipHeight(mip);
    const size_t texel = layout.bitCount / 8;
    const size_t bytesNeeded = pixels * texel;
    if (size - *offset < bytesNeeded) return "file too short for its image data";
    out->resize(pixels * 4);
    ExpandPixels(bytes + *offset, pixels, texel, layout, out->data());
    *offset += bytesNeeded;
    return nullptr;
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
    Header header;
    if (const char* why = ReadHeader(bytes, size, &header)) return fail(why);
    size_t offset = 4 + kHeaderSize;
    Layout layout;
    Slices slices;
    if (const char* why = ReadPixelFormat(header, bytes, size, &offset, &layout, &slices)) return fail(why);
    if (const char* why = ReadCubeCaps(header, &slices)) return fail(why);

    image->format = layout.format == GpuFormat::Unknown ? GpuFormat::R8G8B8A8_UNORM : layout.format;
    image->width = header.width;
    image->height = header.height;
    image->mipLevels = header.mips;
    image->arraySize = slices.arraySize;
    image->cube = slices.cube;
    image->subresources.clear();
    image->subresources.resize(static_cast<size_t>(header.mips) * slices.arraySize);
    for (std::uint32_t slice = 0; slice < slices.arraySize; ++slice) {
        for (std::uint32_t mip = 0; mip < header.mips; ++mip) {
            std::vector<std::uint8_t>* out = &image->subresources[slice * header.mips + mip];
            if (const char* why = ReadSubresource(bytes, size, &offset, layout, *image, mip, out)) return fail(why);
        }
    }
    return true;
}
