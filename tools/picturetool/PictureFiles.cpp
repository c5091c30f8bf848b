#include "tools/picturetool/PictureFiles.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <stb/stb_dxt.h>
#include <stb/stb_image_write.h>

namespace {
void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void Header(std::vector<std::uint8_t>& out, const Image& top, Picture::Format format, std::uint32_t levels) {
    const bool compressed = format == Picture::Format::Bc3;
    const std::uint32_t bytesPerPixel = format == Picture::Format::Bgr ? 3 : 4;
    const std::uint32_t pitch =
        compressed ? ((top.width + 3) / 4) * ((top.height + 3) / 4) * 16 : top.width * bytesPerPixel;
    Put32(out, 0x20534444u);  // "DDS "
    Put32(out, 124);
    Put32(out, 0x1 | 0x2 | 0x4 | 0x1000 | (compressed ? 0x80000 : 0x8) | (levels > 1 ? 0x20000 : 0));
    Put32(out, top.height);
    Put32(out, top.width);
    Put32(out, pitch);  // row pitch, or the top level's size when compressed
    Put32(out, 0);      // depth
    Put32(out, levels);
    for (int i = 0; i < 11; ++i) Put32(out, 0);
    Put32(out, 32);  // pixel format size
    if (compressed) {
        Put32(out, 0x4);                                           // four-character code
        Put32(out, 'D' | ('X' << 8) | ('T' << 16) | ('5' << 24));  // DXT5
        for (int i = 0; i < 5; ++i) Put32(out, 0);
    } else {
        Put32(out, format == Picture::Format::Bgr ? 0x40 : 0x41);  // RGB (and alpha) pixels
        Put32(out, 0);
        Put32(out, bytesPerPixel * 8);
        Put32(out, 0x00FF0000u);  // red
        Put32(out, 0x0000FF00u);  // green
        Put32(out, 0x000000FFu);  // blue
        Put32(out, format == Picture::Format::Bgr ? 0 : 0xFF000000u);
    }
    Put32(out, 0x1000 | (levels > 1 ? 0x8 | 0x400000 : 0));  // texture (complex, mip map)
    for (int i = 0; i < 4; ++i) Put32(out, 0);
}

void Level(std::vector<std::uint8_t>& out, const Image& image, Picture::Format format) {
    const std::uint32_t w = image.width, h = image.height;
    if (format != Picture::Format::Bc3) {
        for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i) {
            const std::uint8_t* p = &image.rgba[i * 4];
            out.push_back(p[2]);
            out.push_back(p[1]);
            out.push_back(p[0]);
            if (format == Picture::Format::Bgra) out.push_back(p[3]);
        }
        return;
    }
    // 4 x 4 blocks; the edge pixels are repeated where a block passes the edge.
    unsigned char block[64], packed[16];
    for (std::uint32_t by = 0; by < h; by += 4)
        for (std::uint32_t bx = 0; bx < w; bx += 4) {
            for (std::uint32_t y = 0; y < 4; ++y)
                for (std::uint32_t x = 0; x < 4; ++x) {
                    const std::uint32_t sx = std::min(bx + x, w - 1), sy = std::min(by + y, h - 1);
                    std::copy_n(&image.rgba[(static_cast<size_t>(sy) * w + sx) * 4], 4, &block[(y * 4 + x) * 4]);
                }
            stb_compress_dxt_block(packed, block, 1, STB_DXT_HIGHQUAL);
            out.insert(out.end(), packed, packed + 16);
        }
}

void WriteToVector(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}
}  // namespace

std::vector<Image> MipChain(const Image& image) {
    std::vector<Image> chain{image};
    while (chain.back().width > 1 || chain.back().height > 1) {
        const Image& above = chain.back();
        Image level;
        level.width = std::max(1u, above.width / 2);
        level.height = std::max(1u, above.height / 2);
        level.rgba.resize(static_cast<size_t>(level.width) * level.height * 4);
        for (std::uint32_t y = 0; y < level.height; ++y)
            for (std::uint32_t x = 0; x < level.width; ++x) {
                float sum[4] = {0, 0, 0, 0};
                for (int k = 0; k < 4; ++k) {
                    const std::uint32_t sx = std::min(2 * x + (k & 1), above.width - 1);
                    const std::uint32_t sy = std::min(2 * y + (k >> 1), above.height - 1);
                    const std::uint8_t* p = &above.rgba[(static_cast<size_t>(sy) * above.width + sx) * 4];
                    for (int c = 0; c < 3; ++c) sum[c] += p[c] * p[3];
                    sum[3] += p[3];
                }
                std::uint8_t* t = &level.rgba[(static_cast<size_t>(y) * level.width + x) * 4];
                for (int c = 0; c < 3; ++c)
                    t[c] = sum[3] > 0 ? static_cast<std::uint8_t>(std::lround(sum[c] / sum[3])) : 0;
                t[3] = static_cast<std::uint8_t>(std::lround(sum[3] / 4.0f));
            }
        chain.push_back(std::move(level));
    }
    return chain;
}

std::vector<std::uint8_t> EncodePictureDds(const Image& image, Picture::Format format, bool mips) {
    const std::vector<Image> chain = mips ? MipChain(image) : std::vector<Image>{image};
    std::vector<std::uint8_t> out;
    Header(out, image, format, static_cast<std::uint32_t>(chain.size()));
    for (const Image& level : chain) Level(out, level, format);
    return out;
}

Image Shrink(const Image& image, float factor) {
    if (factor >= 1.0f) return image;
    Image out;
    out.width = std::max(1u, static_cast<std::uint32_t>(std::lround(image.width * factor)));
    out.height = std::max(1u, static_cast<std::uint32_t>(std::lround(image.height * factor)));
    out.rgba.resize(static_cast<size_t>(out.width) * out.height * 4);
    const float sx = static_cast<float>(image.width) / out.width, sy = static_cast<float>(image.height) / out.height;
    for (std::uint32_t y = 0; y < out.height; ++y)
        for (std::uint32_t x = 0; x < out.width; ++x) {
            const std::uint32_t x0 = static_cast<std::uint32_t>(x * sx), y0 = static_cast<std::uint32_t>(y * sy);
            const std::uint32_t x1 = std::max(x0 + 1, std::min(image.width, static_cast<std::uint32_t>((x + 1) * sx)));
            const std::uint32_t y1 = std::max(y0 + 1, std::min(image.height, static_cast<std::uint32_t>((y + 1) * sy)));
            float sum[4] = {0, 0, 0, 0};
            for (std::uint32_t v = y0; v < y1; ++v)
                for (std::uint32_t u = x0; u < x1; ++u)
                    for (int c = 0; c < 4; ++c)
                        sum[c] += image.rgba[(static_cast<size_t>(v) * image.width + u) * 4 + c];
            const float n = static_cast<float>((x1 - x0) * (y1 - y0));
            for (int c = 0; c < 4; ++c)
                out.rgba[(static_cast<size_t>(y) * out.width + x) * 4 + c] =
                    static_cast<std::uint8_t>(std::lround(sum[c] / n));
        }
    return out;
}

bool MakeContactSheet(const std::vector<SheetEntry>& entries, int sheetWidth, int cellWidth, int cellHeight,
                      const std::string& font, TextRaster& text, Image* out, std::string* error) {
    constexpr int kGap = 12, kLabel = 22;
    const int columns = std::max(1, (sheetWidth - kGap) / (cellWidth + kGap));
    const int rows = static_cast<int>((entries.size() + columns - 1) / columns);
    const int width = kGap + columns * (cellWidth + kGap);
    const int height = kGap + rows * (cellHeight + kLabel + kGap);
    out->width = width;
    out->height = height;
    out->rgba.assign(static_cast<size_t>(width) * height * 4, 0);
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
        out->rgba[i * 4 + 0] = out->rgba[i * 4 + 1] = out->rgba[i * 4 + 2] = 40;
        out->rgba[i * 4 + 3] = 255;
    }
    std::vector<float> labels(static_cast<size_t>(width) * height, 0.0f);
    for (size_t e = 0; e < entries.size(); ++e) {
        const int left = kGap + static_cast<int>(e % columns) * (cellWidth + kGap);
        const int top = kGap + static_cast<int>(e / columns) * (cellHeight + kLabel + kGap);
        const Image& source = *entries[e].image;
        const float factor = std::min(
            {1.0f, static_cast<float>(cellWidth) / source.width, static_cast<float>(cellHeight) / source.height});
        const Image cell = Shrink(source, factor);
        for (std::uint32_t y = 0; y < cell.height; ++y)
            for (std::uint32_t x = 0; x < cell.width; ++x) {
                // A chequer of 8-pixel squares under the picture shows its transparency.
                const std::uint8_t chequer = ((x / 8 + y / 8) % 2) ? 90 : 140;
                const std::uint8_t* p = &cell.rgba[(static_cast<size_t>(y) * cell.width + x) * 4];
                std::uint8_t* t = &out->rgba[((static_cast<size_t>(top) + y) * width + left + x) * 4];
                for (int c = 0; c < 3; ++c)
                    t[c] = static_cast<std::uint8_t>(std::lround((p[c] * p[3] + chequer * (255 - p[3])) / 255.0f));
            }
        TextSpec label;
        label.text = entries[e].label;
        label.font = font;
        label.size = 14.0f;
        label.x = static_cast<float>(left);
        label.y = static_cast<float>(top + cellHeight + 16);
        if (!text.Draw(label, width, height, labels, error)) return false;
    }
    for (size_t i = 0; i < labels.size(); ++i)
        for (int c = 0; c < 3; ++c) {
            std::uint8_t& t = out->rgba[i * 4 + c];
            t = static_cast<std::uint8_t>(std::lround(t + (255 - t) * labels[i]));
        }
    return true;
}

bool WritePng(const std::string& path, const Image& image) {
    std::vector<std::uint8_t> bytes;
    if (!stbi_write_png_to_func(WriteToVector, &bytes, static_cast<int>(image.width), static_cast<int>(image.height), 4,
                                image.rgba.data(), static_cast<int>(image.width * 4)))
        return false;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
