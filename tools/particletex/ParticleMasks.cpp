#include "tools/particletex/ParticleMasks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

#include "port/os/WholeFileWriter.h"

namespace {
// A deterministic lattice value in 0..1 for the smoke mask.
float Lattice(int x, int y) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<float>((h ^ (h >> 16)) & 0xFFFF) / 65535.0f;
}

float SmoothLattice(float x, float y) {
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const float tx = x - x0, ty = y - y0;
    const float sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
    const float top = Lattice(x0, y0) * (1 - sx) + Lattice(x0 + 1, y0) * sx;
    const float bottom = Lattice(x0, y0 + 1) * (1 - sx) + Lattice(x0 + 1, y0 + 1) * sx;
    return top * (1 - sy) + bottom * sy;
}

// Alpha of a shape at (u, v) in -1..1.
using Shape = std::function<float(float u, float v)>;

float Soft(float u, float v) {
    const float r = std::sqrt(u * u + v * v);
    const float t = std::clamp(1.0f - r, 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

float Ring(float u, float v) {
    const float r = std::sqrt(u * u + v * v);
    const float d = std::fabs(r - 0.65f) / 0.25f;
    return std::clamp(1.0f - d * d, 0.0f, 1.0f);
}

float Spark(float u, float v) {
    const float r = std::sqrt(u * u + v * v);
    const float arms = std::max(std::exp(-std::fabs(u) * 14.0f), std::exp(-std::fabs(v) * 14.0f));
    const float core = std::exp(-r * r * 10.0f);
    return std::clamp((arms * 0.8f + core) * std::clamp(1.0f - r, 0.0f, 1.0f), 0.0f, 1.0f);
}

float Smoke(float u, float v) {
    float n = 0.0f, amplitude = 0.5f, frequency = 3.0f;
    for (int o = 0; o < 4; ++o) {
        n += SmoothLattice((u + 1) * frequency, (v + 1) * frequency) * amplitude;
        amplitude *= 0.5f;
        frequency *= 2.0f;
    }
    return std::clamp(Soft(u, v) * (0.4f + n * 1.2f), 0.0f, 1.0f);
}

ParticleMask Make(const std::string& name, std::uint32_t size, const Shape& shape) {
    ParticleMask mask;
    mask.name = name;
    mask.size = size;
    std::vector<std::uint8_t> top(static_cast<size_t>(size) * size * 4);
    for (std::uint32_t y = 0; y < size; ++y) {
        for (std::uint32_t x = 0; x < size; ++x) {
            const float u = (static_cast<float>(x) + 0.5f) / size * 2 - 1;
            const float v = (static_cast<float>(y) + 0.5f) / size * 2 - 1;
            std::uint8_t* t = &top[(static_cast<size_t>(y) * size + x) * 4];
            t[0] = t[1] = t[2] = 255;
            t[3] = static_cast<std::uint8_t>(std::lround(std::clamp(shape(u, v), 0.0f, 1.0f) * 255.0f));
        }
    }
    mask.levels.push_back(std::move(top));
    // Each level averages 2 x 2 texels of the one above.
    for (std::uint32_t s = size / 2; s >= 1; s /= 2) {
        const std::vector<std::uint8_t>& above = mask.levels.back();
        const std::uint32_t a = s * 2;
        std::vector<std::uint8_t> level(static_cast<size_t>(s) * s * 4);
        for (std::uint32_t y = 0; y < s; ++y)
            for (std::uint32_t x = 0; x < s; ++x)
                for (int c = 0; c < 4; ++c) {
                    auto at = [&](std::uint32_t ax, std::uint32_t ay) {
                        return static_cast<unsigned>(above[(static_cast<size_t>(ay) * a + ax) * 4 + c]);
                    };
                    const unsigned sum =
                        at(2 * x, 2 * y) + at(2 * x + 1, 2 * y) + at(2 * x, 2 * y + 1) + at(2 * x + 1, 2 * y + 1);
                    level[(static_cast<size_t>(y) * s + x) * 4 + c] = static_cast<std::uint8_t>((sum + 2) / 4);
                }
        mask.levels.push_back(std::move(level));
        if (s == 1) break;
    }
    return mask;
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}
}  // namespace

std::vector<ParticleMask> MakeParticleMasks(std::uint32_t size) {
    return {Make("soft", size, Soft), Make("ring", size, Ring), Make("spark", size, Spark), Make("smoke", size, Smoke)};
}

std::vector<std::uint8_t> EncodeDds(const ParticleMask& mask) {
    std::vector<std::uint8_t> out;
    Put32(out, 0x20534444u);                               // "DDS "
    Put32(out, 124);                                       // header size
    Put32(out, 0x1 | 0x2 | 0x4 | 0x8 | 0x1000 | 0x20000);  // caps, height, width, pitch, pixel format, mip count
    Put32(out, mask.size);                                 // height
    Put32(out, mask.size);                                 // width
    Put32(out, mask.size * 4);                             // pitch
    Put32(out, 0);                                         // depth
    Put32(out, static_cast<std::uint32_t>(mask.levels.size()));
    for (int i = 0; i < 11; ++i) Put32(out, 0);  // reserved
    Put32(out, 32);                              // pixel format size
    Put32(out, 0x41);                            // RGB | alpha pixels
    Put32(out, 0);                               // no four-character code
    Put32(out, 32);                              // bits per texel
    Put32(out, 0x000000FFu);                     // red mask
    Put32(out, 0x0000FF00u);                     // green mask
    Put32(out, 0x00FF0000u);                     // blue mask
    Put32(out, 0xFF000000u);                     // alpha mask
    Put32(out, 0x1000 | 0x8 | 0x400000);         // texture, complex, mip map
    for (int i = 0; i < 4; ++i) Put32(out, 0);   // caps 2..4, reserved
    for (const auto& level : mask.levels) out.insert(out.end(), level.begin(), level.end());
    return out;
}

bool WriteFileReplacing(const std::string& path, const std::vector<std::uint8_t>& bytes, const char* tool) {
    std::string error;
    if (!WriteWholeFile(path, bytes.data(), bytes.size(), &error)) {
        std::fprintf(stderr, "%s: %s\n", tool, error.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}
