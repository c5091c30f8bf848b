#include "tools/demoassets/ProceduralPaint.h"

#include <algorithm>
#include <cmath>

namespace ProceduralPaint {

namespace {
std::uint8_t Byte(float v) {
    return static_cast<std::uint8_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f);
}

std::uint32_t MipCount(std::uint32_t size) {
    std::uint32_t count = 1;
    while (size > 1) {
        size >>= 1;
        ++count;
    }
    return count;
}

int Wrap(int v, int period) {
    if (period <= 0) return v;
    const int m = v % period;
    return m < 0 ? m + period : m;
}
}  // namespace

float Hash(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    std::uint32_t h =
        static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<float>((h ^ (h >> 16)) & 0xFFFFFFu) / 16777216.0f;
}

float Noise(float x, float y, std::uint32_t seed, int period) {
    const float fx = std::floor(x), fy = std::floor(y);
    const int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
    const float tx = x - fx, ty = y - fy;
    const float sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
    auto at = [&](int xi, int yi) { return Hash(Wrap(xi, period), Wrap(yi, period), seed); };
    const float top = at(x0, y0) * (1 - sx) + at(x0 + 1, y0) * sx;
    const float bottom = at(x0, y0 + 1) * (1 - sx) + at(x0 + 1, y0 + 1) * sx;
    return top * (1 - sy) + bottom * sy;
}

float Fbm(float x, float y, std::uint32_t seed, int octaves, int period) {
    float sum = 0.0f, weight = 0.5f, total = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += Noise(x, y, seed + static_cast<std::uint32_t>(o) * 31u, period) * weight;
        total += weight;
        x *= 2.0f;
        y *= 2.0f;
        if (period > 0) period *= 2;
        weight *= 0.5f;
    }
    return sum / total;
}

float Noise3(float x, float y, float z, std::uint32_t seed) {
    const float fx = std::floor(x), fy = std::floor(y), fz = std::floor(z);
    const int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy), z0 = static_cast<int>(fz);
    auto ease = [](float t) { return t * t * (3 - 2 * t); };
    const float sx = ease(x - fx), sy = ease(y - fy), sz = ease(z - fz);
    auto at = [&](int xi, int yi, int zi) { return Hash(xi, yi, seed + static_cast<std::uint32_t>(zi) * 7919u); };
    float layers[2];
    for (int k = 0; k < 2; ++k) {
        const float top = at(x0, y0, z0 + k) * (1 - sx) + at(x0 + 1, y0, z0 + k) * sx;
        const float bottom = at(x0, y0 + 1, z0 + k) * (1 - sx) + at(x0 + 1, y0 + 1, z0 + k) * sx;
        layers[k] = top * (1 - sy) + bottom * sy;
    }
    return layers[0] * (1 - sz) + layers[1] * sz;
}

float Fbm3(float x, float y, float z, std::uint32_t seed, int octaves) {
    float sum = 0.0f, weight = 0.5f, total = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += Noise3(x, y, z, seed + static_cast<std::uint32_t>(o) * 31u) * weight;
        total += weight;
        x *= 2.0f;
        y *= 2.0f;
        z *= 2.0f;
        weight *= 0.5f;
    }
    return sum / total;
}

D3DXVECTOR3 CubeDirection(std::uint32_t face, float s, float t) {
    D3DXVECTOR3 d;
    switch (face) {
        case 0:
            d = {1, -t, -s};
            break;
        case 1:
            d = {-1, -t, s};
            break;
        case 2:
            d = {s, 1, t};
            break;
        case 3:
            d = {s, -1, -t};
            break;
        case 4:
            d = {s, -t, 1};
            break;
        default:
            d = {-s, -t, -1};
            break;
    }
    return d / D3DXVec3Length(&d);
}

Rgb Mix(const Rgb& a, const Rgb& b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Scale(const Rgb& a, float k) {
    return {a.r * k, a.g * k, a.b * k};
}

Rgb Add(const Rgb& a, const Rgb& b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}

float Smooth(float edge0, float edge1, float x) {
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

GpuImage Build(std::uint32_t size, std::uint32_t slices,
               const std::function<Rgba(std::uint32_t, std::uint32_t, std::uint32_t)>& colour) {
    GpuImage top;
    top.format = GpuFormat::R8G8B8A8_UNORM;
    top.width = top.height = size;
    top.mipLevels = 1;
    top.arraySize = slices;
    top.cube = slices == 6;
    for (std::uint32_t slice = 0; slice < slices; ++slice) {
        std::vector<std::uint8_t> texels(static_cast<size_t>(size) * size * 4);
        for (std::uint32_t y = 0; y < size; ++y)
            for (std::uint32_t x = 0; x < size; ++x) {
                const Rgba c = colour(slice, x, y);
                std::uint8_t* t = &texels[(static_cast<size_t>(y) * size + x) * 4];
                t[0] = Byte(c.r);
                t[1] = Byte(c.g);
                t[2] = Byte(c.b);
                t[3] = Byte(c.a);
            }
        top.subresources.push_back(std::move(texels));
    }
    return top.Resized(size, size, MipCount(size));
}

GpuImage NormalsFromHeights(const std::vector<float>& heights, std::uint32_t size, float strength, bool wrap) {
    const int n = static_cast<int>(size);
    auto h = [&](int x, int y) {
        if (wrap) {
            x = Wrap(x, n);
            y = Wrap(y, n);
        } else {
            x = std::clamp(x, 0, n - 1);
            y = std::clamp(y, 0, n - 1);
        }
        return heights[static_cast<size_t>(y) * size + static_cast<size_t>(x)];
    };
    return Build(size, 1, [&](std::uint32_t, std::uint32_t x, std::uint32_t y) {
        const int xi = static_cast<int>(x), yi = static_cast<int>(y);
        // Slopes per texel; y (v) grows downwards, as the tangent frame's b.
        const float dx = (h(xi + 1, yi) - h(xi - 1, yi)) * 0.5f * strength;
        const float dy = (h(xi, yi + 1) - h(xi, yi - 1)) * 0.5f * strength;
        float nx = -dx, ny = -dy, nz = 1.0f;
        const float length = std::sqrt(nx * nx + ny * ny + nz * nz);
        nx /= length;
        ny /= length;
        nz /= length;
        return Rgba{nx * 0.5f + 0.5f, ny * 0.5f + 0.5f, nz * 0.5f + 0.5f, 1.0f};
    });
}

}  // namespace ProceduralPaint
