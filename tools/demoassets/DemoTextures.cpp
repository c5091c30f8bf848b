#include "tools/demoassets/DemoTextures.h"

#include <algorithm>
#include <cmath>

#include "tools/particletex/ParticleMasks.h"

namespace {
struct Rgb {
    float r, g, b;
};

Rgb Mix(const Rgb& a, const Rgb& b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

std::uint8_t Byte(float v) {
    return static_cast<std::uint8_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f);
}

// A repeatable hash of two integers to [0, 1).
float Hash(std::uint32_t x, std::uint32_t y) {
    std::uint32_t h = x * 374761393u + y * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<float>((h ^ (h >> 16)) & 0xFFFFFFu) / 16777216.0f;
}

std::uint32_t MipCount(std::uint32_t size) {
    std::uint32_t count = 1;
    while (size > 1) {
        size >>= 1;
        ++count;
    }
    return count;
}

// Level 0 of `slices` square slices from colour(slice, x, y), then the mips.
template <class ColourAt>
GpuImage Build(std::uint32_t size, std::uint32_t slices, bool cube, ColourAt colourAt) {
    GpuImage top;
    top.format = GpuFormat::R8G8B8A8_UNORM;
    top.width = top.height = size;
    top.mipLevels = 1;
    top.arraySize = slices;
    top.cube = cube;
    for (std::uint32_t slice = 0; slice < slices; ++slice) {
        std::vector<std::uint8_t> texels(size * size * 4);
        for (std::uint32_t y = 0; y < size; ++y)
            for (std::uint32_t x = 0; x < size; ++x) {
                const Rgb c = colourAt(slice, x, y);
                std::uint8_t* t = &texels[(y * size + x) * 4];
                t[0] = Byte(c.r);
                t[1] = Byte(c.g);
                t[2] = Byte(c.b);
                t[3] = 255;
            }
        top.subresources.push_back(std::move(texels));
    }
    return top.Resized(size, size, MipCount(size));
}

}  // namespace

GpuImage DemoTextures::Hull(std::uint32_t size) {
    const Rgb plate{0.55f, 0.58f, 0.63f}, seam{0.25f, 0.27f, 0.30f}, band{0.70f, 0.16f, 0.10f};
    const std::uint32_t panel = std::max(4u, size / 8);
    return Build(size, 1, false, [&](std::uint32_t, std::uint32_t x, std::uint32_t y) {
        const float v = (y + 0.5f) / size;
        Rgb c = (v > 0.44f && v < 0.56f) ? band : plate;
        // Panels of alternating shade, staggered every other row.
        const std::uint32_t row = y / panel;
        const std::uint32_t column = (x + (row % 2) * panel / 2) / panel;
        c = Mix(c, Rgb{0, 0, 0}, ((row + column) % 3) * 0.05f);
        if (y % panel == 0 || (x + (row % 2) * panel / 2) % panel == 0) c = Mix(c, seam, 0.7f);
        return Mix(c, Rgb{0.2f, 0.18f, 0.16f}, Hash(x, y) * 0.15f);
    });
}

GpuImage DemoTextures::HullGlow(std::uint32_t size) {
    const Rgb off{0, 0, 0}, cyan{0.2f, 0.9f, 1.0f};
    return Build(size, 1, false, [&](std::uint32_t, std::uint32_t, std::uint32_t y) {
        const float v = (y + 0.5f) / size;
        const bool strip = std::fabs(v - 0.44f) < 0.008f || std::fabs(v - 0.56f) < 0.008f;
        const bool exhaust = v < 0.17f && v > 0.15f;
        return strip || exhaust ? cyan : off;
    });
}

GpuImage DemoTextures::Sky(std::uint32_t size) {
    const Rgb zenith{0.03f, 0.06f, 0.22f}, horizon{0.62f, 0.46f, 0.52f}, below{0.06f, 0.05f, 0.09f};
    const float sunLength = std::sqrt(0.5f * 0.5f + 0.35f * 0.35f + 0.8f * 0.8f);
    const float sun[3] = {0.5f / sunLength, 0.35f / sunLength, 0.8f / sunLength};
    return Build(size, 6, true, [&](std::uint32_t face, std::uint32_t x, std::uint32_t y) {
        const float s = 2.0f * (x + 0.5f) / size - 1.0f;
        const float t = 2.0f * (y + 0.5f) / size - 1.0f;
        float d[3];
        switch (face) {
            case 0:
                d[0] = 1;
                d[1] = -t;
                d[2] = -s;
                break;
            case 1:
                d[0] = -1;
                d[1] = -t;
                d[2] = s;
                break;
            case 2:
                d[0] = s;
                d[1] = 1;
                d[2] = t;
                break;
            case 3:
                d[0] = s;
                d[1] = -1;
                d[2] = -t;
                break;
            case 4:
                d[0] = s;
                d[1] = -t;
                d[2] = 1;
                break;
            default:
                d[0] = -s;
                d[1] = -t;
                d[2] = -1;
                break;
        }
        const float length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        for (float& v : d) v /= length;
        Rgb c =
            d[1] >= 0 ? Mix(horizon, zenith, std::pow(d[1], 0.45f)) : Mix(horizon, below, std::min(1.0f, -d[1] * 6));
        const float toSun = d[0] * sun[0] + d[1] * sun[1] + d[2] * sun[2];
        if (toSun > 0.95f) c = Mix(c, Rgb{1.0f, 0.9f, 0.7f}, std::pow((toSun - 0.95f) / 0.05f, 3.0f));
        if (d[1] > 0.15f && Hash(face * size + x, y) > 0.996f) c = Mix(c, Rgb{1, 1, 1}, 0.8f * d[1]);
        return c;
    });
}

std::vector<std::uint8_t> DemoTextures::EncodeDds(const GpuImage& image) {
    // The particle masks' encoder writes the header and the first slice; a
    // cube then gets the cube caps and the other five faces after it.
    auto slice = [&](std::uint32_t index) {
        ParticleMask mask;
        mask.size = image.width;
        mask.levels.assign(image.subresources.begin() + index * image.mipLevels,
                           image.subresources.begin() + (index + 1) * image.mipLevels);
        return mask;
    };
    std::vector<std::uint8_t> out = ::EncodeDds(slice(0));
    if (!image.cube) return out;
    constexpr size_t kCaps2Offset = 4 + 108;
    const std::uint32_t caps2 = 0x200u | 0xFC00u;  // cube map with all six faces
    for (int i = 0; i < 4; ++i) out[kCaps2Offset + i] = static_cast<std::uint8_t>(caps2 >> (8 * i));
    for (std::uint32_t face = 1; face < image.arraySize; ++face)
        for (const auto& level : slice(face).levels) out.insert(out.end(), level.begin(), level.end());
    return out;
}
