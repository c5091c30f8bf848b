#include "port/gpu/GpuImage.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO_FOPEN_WARNINGS
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_TGA
#define STBI_ONLY_BMP
#define STBI_MAX_DIMENSIONS 16384
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

#include "port/gpu/DdsReader.h"
#include "port/gpu/DxtDecoder.h"
#include "port/os/FileCase.h"
#include "port/os/WholeFile.h"

std::uint32_t GpuImage::MipWidth(unsigned mip) const {
    return std::max(1u, width >> mip);
}
std::uint32_t GpuImage::MipHeight(unsigned mip) const {
    return std::max(1u, height >> mip);
}

std::uint32_t GpuImage::RowBytes(unsigned mip) const {
    if (GpuFormatIsCompressed(format)) return ((MipWidth(mip) + 3) / 4) * GpuFormatBytes(format);
    return MipWidth(mip) * GpuFormatBytes(format);
}

std::uint32_t GpuImage::SubresourceBytes(unsigned mip) const {
    const std::uint32_t rows = GpuFormatIsCompressed(format) ? (MipHeight(mip) + 3) / 4 : MipHeight(mip);
    return RowBytes(mip) * rows;
}

void GpuImage::Allocate() {
    subresources.assign(static_cast<size_t>(mipLevels) * arraySize, {});
    for (std::uint32_t s = 0; s < arraySize; ++s)
        for (std::uint32_t m = 0; m < mipLevels; ++m) subresources[s * mipLevels + m].assign(SubresourceBytes(m), 0);
}

namespace {

// RGBA8 texels of a width x height level (each at least 2) averaged 2x2 into
// one of (width / 2) x (height / 2); an odd last row or column is dropped.
std::vector<std::uint8_t> HalveTexels(const std::vector<std::uint8_t>& texels, std::uint32_t width,
                                      std::uint32_t height) {
    const std::uint32_t w = width / 2, h = height / 2;
    std::vector<std::uint8_t> out(static_cast<size_t>(w) * h * 4);
    for (std::uint32_t y = 0; y < h; ++y)
        for (std::uint32_t x = 0; x < w; ++x)
            for (int k = 0; k < 4; ++k) {
                auto at = [&](std::uint32_t xx, std::uint32_t yy) {
                    return static_cast<unsigned>(texels[(static_cast<size_t>(yy) * width + xx) * 4 + k]);
                };
                const unsigned sum =
                    at(2 * x, 2 * y) + at(2 * x + 1, 2 * y) + at(2 * x, 2 * y + 1) + at(2 * x + 1, 2 * y + 1);
                out[(static_cast<size_t>(y) * w + x) * 4 + k] = static_cast<std::uint8_t>((sum + 2) / 4);
            }
    return out;
}

bool TooManyTexels(std::uint64_t width, std::uint64_t height, std::uint64_t maxTexelBytes, std::string* error) {
    if (width * height * 4 <= maxTexelBytes) return false;
    if (error)
        *error = std::to_string(width) + "x" + std::to_string(height) + " texels are more than the " +
                 ByteCountText(maxTexelBytes) + " an image of this kind may decode to";
    return true;
}

}  // namespace

GpuLoadStatus GpuImage::Load(const std::string& path, std::string* error, std::uint64_t maxTexelBytes) {
    const std::string resolved = ResolveFileFoldingCase(path);
    std::string bytes;
    int errorNumber = 0;
    const FileRead read = ReadWholeFile(resolved, kMaxFileBytes, &bytes, &errorNumber);
    if (read != FileRead::Ok) {
        if (errorNumber == ENOENT || errorNumber == ENOTDIR) {
            if (error) *error = path + ": file not found";
            return GpuLoadStatus::FileNotFound;
        }
        if (error) *error = FileReadErrorText(read, resolved, kMaxFileBytes, errorNumber);
        return GpuLoadStatus::Failed;
    }
    std::string why;
    if (!Decode(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), &why, maxTexelBytes)) {
        if (error) *error = path + ": " + why;
        return GpuLoadStatus::Failed;
    }
    return GpuLoadStatus::Ok;
}

bool GpuImage::Decode(const std::uint8_t* bytes, size_t size, std::string* error, std::uint64_t maxTexelBytes) {
    if (IsDdsFile(bytes, size)) {
        if (!ReadDds(bytes, size, this, error)) return false;
        if (!TooManyTexels(width, height, maxTexelBytes, error)) return true;
        *this = GpuImage();
        return false;
    }
    if (size > static_cast<size_t>(0x7FFFFFFF)) {
        if (error) *error = "file too large";
        return false;
    }
    int w = 0, h = 0, channels = 0;
    // The size the header declares is checked before anything is decoded: a
    // small file may declare gigabytes of texels.
    if (stbi_info_from_memory(bytes, static_cast<int>(size), &w, &h, &channels) &&
        TooManyTexels(static_cast<std::uint64_t>(w), static_cast<std::uint64_t>(h), maxTexelBytes, error))
        return false;
    stbi_uc* pixels = stbi_load_from_memory(bytes, static_cast<int>(size), &w, &h, &channels, 4);
    if (!pixels) {
        if (error) *error = std::string("cannot decode image: ") + stbi_failure_reason();
        return false;
    }
    format = GpuFormat::R8G8B8A8_UNORM;
    width = static_cast<std::uint32_t>(w);
    height = static_cast<std::uint32_t>(h);
    mipLevels = 1;
    arraySize = 1;
    cube = false;
    subresources.assign(1, std::vector<std::uint8_t>(pixels, pixels + static_cast<size_t>(w) * h * 4));
    stbi_image_free(pixels);
    return true;
}

void GpuImage::Decompress() {
    if (!GpuFormatIsCompressed(format)) return;
    void (*decode)(const std::uint8_t*, std::uint8_t*) = format == GpuFormat::BC1_UNORM   ? DecodeDxt1Block
                                                         : format == GpuFormat::BC2_UNORM ? DecodeDxt3Block
                                                                                          : DecodeDxt5Block;
    const std::uint32_t blockBytes = GpuFormatBytes(format);
    std::vector<std::vector<std::uint8_t>> out(subresources.size());
    for (std::uint32_t s = 0; s < arraySize; ++s) {
        for (std::uint32_t m = 0; m < mipLevels; ++m) {
            const std::vector<std::uint8_t>& src = subresources[s * mipLevels + m];
            const std::uint32_t w = MipWidth(m), h = MipHeight(m);
            const std::uint32_t bw = (w + 3) / 4, bh = (h + 3) / 4;
            std::vector<std::uint8_t>& dst = out[s * mipLevels + m];
            dst.assign(static_cast<size_t>(w) * h * 4, 0);
            if (src.size() < static_cast<size_t>(bw) * bh * blockBytes) continue;
            std::uint8_t texels[64];
            for (std::uint32_t by = 0; by < bh; ++by) {
                for (std::uint32_t bx = 0; bx < bw; ++bx) {
                    decode(&src[(static_cast<size_t>(by) * bw + bx) * blockBytes], texels);
                    for (std::uint32_t y = 0; y < 4 && by * 4 + y < h; ++y)
                        for (std::uint32_t x = 0; x < 4 && bx * 4 + x < w; ++x)
                            std::memcpy(&dst[((static_cast<size_t>(by) * 4 + y) * w + bx * 4 + x) * 4],
                                        &texels[(y * 4 + x) * 4], 4);
                }
            }
        }
    }
    subresources = std::move(out);
    format = GpuFormat::R8G8B8A8_UNORM;
}

GpuImage GpuImage::Resized(std::uint32_t newWidth, std::uint32_t newHeight, std::uint32_t mips) const {
    GpuImage decompressed;
    if (GpuFormatIsCompressed(format)) {
        decompressed = *this;
        decompressed.Decompress();
    }
    const GpuImage& source = GpuFormatIsCompressed(format) ? decompressed : *this;
    GpuImage out;
    out.format = GpuFormat::R8G8B8A8_UNORM;
    out.width = std::max(1u, newWidth);
    out.height = std::max(1u, newHeight);
    out.mipLevels = std::max(1u, mips);
    out.arraySize = source.arraySize;
    out.cube = source.cube;
    out.Allocate();
    for (std::uint32_t s = 0; s < out.arraySize; ++s) {
        const std::vector<std::uint8_t>* level = &source.subresources[s * source.mipLevels];
        std::vector<std::uint8_t>& top = out.subresources[s * out.mipLevels];
        std::uint32_t sw = source.width, sh = source.height;
        if (level->size() < static_cast<size_t>(sw) * sh * 4) continue;
        // Shrinking by more than half is done by 2x2 averaging first, so that
        // every source texel counts (bilinear taps alone would skip most).
        std::vector<std::uint8_t> halved;
        while (sw >= 2 * out.width && sh >= 2 * out.height) {
            halved = HalveTexels(*level, sw, sh);
            level = &halved;
            sw /= 2;
            sh /= 2;
        }
        const std::vector<std::uint8_t>& src = *level;
        for (std::uint32_t y = 0; y < out.height; ++y) {
            const float fy = std::max(0.0f, (y + 0.5f) * sh / out.height - 0.5f);
            const std::uint32_t y0 = std::min(sh - 1, static_cast<std::uint32_t>(fy));
            const std::uint32_t y1 = std::min(sh - 1, y0 + 1);
            const float ty = fy - static_cast<float>(y0);
            for (std::uint32_t x = 0; x < out.width; ++x) {
                const float fx = std::max(0.0f, (x + 0.5f) * sw / out.width - 0.5f);
                const std::uint32_t x0 = std::min(sw - 1, static_cast<std::uint32_t>(fx));
                const std::uint32_t x1 = std::min(sw - 1, x0 + 1);
                const float tx = fx - static_cast<float>(x0);
                for (int k = 0; k < 4; ++k) {
                    auto at = [&](std::uint32_t xx, std::uint32_t yy) {
                        return static_cast<float>(src[(static_cast<size_t>(yy) * sw + xx) * 4 + k]);
                    };
                    const float v = (at(x0, y0) * (1 - tx) + at(x1, y0) * tx) * (1 - ty) +
                                    (at(x0, y1) * (1 - tx) + at(x1, y1) * tx) * ty;
                    top[(static_cast<size_t>(y) * out.width + x) * 4 + k] = static_cast<std::uint8_t>(v + 0.5f);
                }
            }
        }
        for (std::uint32_t m = 1; m < out.mipLevels; ++m) {
            const std::vector<std::uint8_t>& up = out.subresources[s * out.mipLevels + m - 1];
            std::vector<std::uint8_t>& down = out.subresources[s * out.mipLevels + m];
            const std::uint32_t uw = out.MipWidth(m - 1), uh = out.MipHeight(m - 1);
            const std::uint32_t dw = out.MipWidth(m), dh = out.MipHeight(m);
            for (std::uint32_t y = 0; y < dh; ++y)
                for (std::uint32_t x = 0; x < dw; ++x)
                    for (int k = 0; k < 4; ++k) {
                        const std::uint32_t x0 = std::min(uw - 1, 2 * x), x1 = std::min(uw - 1, 2 * x + 1);
                        const std::uint32_t y0 = std::min(uh - 1, 2 * y), y1 = std::min(uh - 1, 2 * y + 1);
                        const unsigned sum = up[(static_cast<size_t>(y0) * uw + x0) * 4 + k] +
                                             up[(static_cast<size_t>(y0) * uw + x1) * 4 + k] +
                                             up[(static_cast<size_t>(y1) * uw + x0) * 4 + k] +
                                             up[(static_cast<size_t>(y1) * uw + x1) * 4 + k];
                        down[(static_cast<size_t>(y) * dw + x) * 4 + k] = static_cast<std::uint8_t>((sum + 2) / 4);
                    }
        }
    }
    return out;
}
