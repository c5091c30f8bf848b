#include "tools/demoassets/LevelLooks.h"

#include <algorithm>
#include <cmath>

#include "tools/demoassets/ProceduralPaint.h"

using namespace ProceduralPaint;

namespace {
struct Surface {
    Rgb diffuse{0, 0, 0};
    float height = 0.5f;
    float specular = 0.3f;
    Rgb glow{0, 0, 0};
};

// Distance in texels of fraction f to the nearest multiple of 1 / count.
float SeamTexels(float f, float count, float size) {
    const float x = f * count;
    return std::fabs(x - std::round(x)) / count * size;
}

// The tunnel wall at (u, v) in 0..1 (u around, v along; both wrap).
Surface Wall(const LevelLook& look, float u, float v, float size) {
    Surface out;
    const float columns = 8.0f, rows = look.style == 1 ? 4.0f : 2.0f;
    const int column = static_cast<int>(std::floor(u * columns)), row = static_cast<int>(std::floor(v * rows));
    const float shade = 0.85f + 0.15f * Hash(column, row, look.seed);
    const int period = 16;
    const float grime = 0.85f + 0.15f * Fbm(u * period, v * period, look.seed + 3, 4, period);
    out.diffuse = Scale(look.panel, shade * grime);
    out.height = 0.6f + 0.1f * Fbm(u * 32, v * 32, look.seed + 9, 3, 32);
    out.specular = 0.45f * grime;
    const float seamU = SeamTexels(u, columns, size), seamV = SeamTexels(v, rows, size);
    const float seam = std::min(seamU, seamV);
    if (seam < 2.5f) {
        out.diffuse = look.seam;
        out.height = 0.2f;
        out.specular = 0.15f;
    }
    // A strip of light along the track in the middle of every other column.
    const float middle = std::fabs(u * columns - column - 0.5f) / columns * size;
    if (column % 2 == 0 && middle < 3.0f) {
        const float k = 1.0f - middle / 3.0f;
        out.diffuse = Mix(out.diffuse, look.light, k);
        out.glow = Scale(look.light, 0.4f + 0.9f * k);
        out.height = 0.75f;
        out.specular = 0.9f;
    }
    switch (look.style) {
        case 1: {
            // Gold: raised diamond studs in the middle of each plate, lit.
            const float pu = u * columns - column - 0.5f, pv = v * rows - row - 0.5f;
            const float diamond = std::fabs(pu) + std::fabs(pv) * rows / columns * 2.0f;
            if (column % 2 == 1 && diamond < 0.22f) {
                out.diffuse = Mix(look.panel, Rgb{1, 0.95f, 0.7f}, 0.35f);
                out.height = 0.95f - diamond;
                out.specular = 1.0f;
                out.glow = Scale(look.light, diamond < 0.08f ? 0.55f : 0.08f);
            }
            break;
        }
        case 2: {
            // Forward: chevrons pointing along the track on the odd columns.
            const float pu = std::fabs(u * columns - column - 0.5f);
            const float chevron = std::fmod(v * 4.0f + pu * 0.8f, 1.0f);
            if (column % 2 == 1 && pu < 0.38f && chevron < 0.16f) {
                out.diffuse = look.light;
                out.height = 0.8f;
                out.specular = 0.9f;
                out.glow = Scale(look.light, 1.1f);
            }
            break;
        }
        default: {
            // Tutorial: a faint ring of lights where segments meet.
            const float lamp = std::fabs(std::fmod(u * 32.0f, 1.0f) - 0.5f);
            if (SeamTexels(v, 1.0f, size) < 5.0f && seamU > 3.0f && lamp < 0.2f) {
                out.glow = Scale(look.light, 0.5f);
                out.diffuse = look.light;
            }
            break;
        }
    }
    return out;
}

// A star field: one star at a random place of each cell of a lattice over
// the direction, most of them dim.
float Stars(const D3DXVECTOR3& d, float density, std::uint32_t seed) {
    const float scale = 90.0f;
    const float x = d.x * scale, y = d.y * scale, z = d.z * scale;
    const int cx = static_cast<int>(std::floor(x)), cy = static_cast<int>(std::floor(y)),
              cz = static_cast<int>(std::floor(z));
    const std::uint32_t cellSeed = seed + static_cast<std::uint32_t>(cz) * 7919u;
    if (Hash(cx, cy, cellSeed) > density) return 0.0f;
    const float px = cx + 0.2f + 0.6f * Hash(cx, cy, cellSeed + 1), py = cy + 0.2f + 0.6f * Hash(cx, cy, cellSeed + 2),
                pz = cz + 0.2f + 0.6f * Hash(cx, cy, cellSeed + 3);
    const float r2 = (x - px) * (x - px) + (y - py) * (y - py) + (z - pz) * (z - pz);
    const float h = Hash(cx, cy, cellSeed + 4);
    const float brightness = 0.3f + 0.7f * h * h * h;
    return brightness * std::exp(-r2 * 30.0f);
}
}  // namespace

const std::vector<LevelLook>& LevelLooks() {
    static const std::vector<LevelLook> looks = {
        {"Tunnel_Tutorial",
         "Sky_Tutorial.dds",
         0,
         {0.16f, 0.24f, 0.42f},
         {0.04f, 0.06f, 0.12f},
         {0.2f, 0.85f, 1.0f},
         {0.01f, 0.03f, 0.12f},
         {0.10f, 0.28f, 0.50f},
         {0.10f, 0.45f, 0.70f},
         {0.30f, 0.20f, 0.60f},
         {0.8f, 0.95f, 1.0f},
         0.6f,
         101},
        {"Tunnel_Gold",
         "Sky_Gold.dds",
         1,
         {0.44f, 0.31f, 0.12f},
         {0.14f, 0.08f, 0.03f},
         {1.0f, 0.72f, 0.20f},
         {0.08f, 0.04f, 0.02f},
         {0.75f, 0.45f, 0.15f},
         {0.90f, 0.55f, 0.15f},
         {0.60f, 0.20f, 0.10f},
         {1.0f, 0.85f, 0.5f},
         1.0f,
         202},
        {"Tunnel_Forward",
         "Sky_Forward.dds",
         2,
         {0.26f, 0.05f, 0.16f},
         {0.06f, 0.01f, 0.04f},
         {1.0f, 0.15f, 0.55f},
         {0.04f, 0.00f, 0.06f},
         {0.40f, 0.03f, 0.22f},
         {0.85f, 0.08f, 0.65f},
         {1.0f, 0.18f, 0.12f},
         {1.0f, 0.35f, 0.45f},
         1.0f,
         303},
    };
    return looks;
}

GpuImage LevelTextures::Tunnel(const LevelLook& look, SkinMap map, std::uint32_t size) {
    const float n = static_cast<float>(size);
    auto at = [&](std::uint32_t x, std::uint32_t y) { return Wall(look, (x + 0.5f) / n, (y + 0.5f) / n, n); };
    if (map == SkinMap::Normal) {
        std::vector<float> heights(static_cast<size_t>(size) * size);
        for (std::uint32_t y = 0; y < size; ++y)
            for (std::uint32_t x = 0; x < size; ++x) heights[static_cast<size_t>(y) * size + x] = at(x, y).height;
        return NormalsFromHeights(heights, size, 2.5f * n / 512.0f, true);
    }
    return Build(size, 1, [&](std::uint32_t, std::uint32_t x, std::uint32_t y) {
        const Surface s = at(x, y);
        switch (map) {
            case SkinMap::Diffuse:
                return Rgba{s.diffuse.r, s.diffuse.g, s.diffuse.b, 1.0f};
            case SkinMap::Specular:
                return Rgba{s.specular, s.specular, s.specular, 1.0f};
            default:
                return Rgba{s.glow.r, s.glow.g, s.glow.b, 1.0f};
        }
    });
}

GpuImage LevelTextures::Sky(const LevelLook& look, std::uint32_t size) {
    D3DXVECTOR3 sunDirection(0.45f, 0.30f, 0.84f);
    sunDirection /= D3DXVec3Length(&sunDirection);
    return Build(size, 6, [&](std::uint32_t face, std::uint32_t x, std::uint32_t y) {
        const float s = 2.0f * (x + 0.5f) / size - 1.0f, t = 2.0f * (y + 0.5f) / size - 1.0f;
        const D3DXVECTOR3 d = CubeDirection(face, s, t);
        // Sky from the horizon glow up to the zenith; darker below.
        const float up = d.y;
        Rgb c = up >= 0 ? Mix(look.horizon, look.zenith, std::pow(up, 0.55f))
                        : Mix(look.horizon, Scale(look.zenith, 0.6f), std::min(1.0f, -up * 2.5f));
        // Nebula: two colours of warped noise.
        const float warp = Fbm3(d.x * 2.0f, d.y * 2.0f, d.z * 2.0f, look.seed + 1, 3);
        const float cloud = Fbm3(d.x * 3.0f + warp * 2.0f, d.y * 3.0f, d.z * 3.0f - warp, look.seed + 2, 5);
        const float lanes = Smooth(0.45f, 0.75f, cloud);
        const float tint = Fbm3(d.x * 1.5f, d.y * 1.5f, d.z * 1.5f, look.seed + 4, 3);
        c = Add(c, Scale(Mix(look.nebulaA, look.nebulaB, Smooth(0.35f, 0.65f, tint)), lanes * 0.75f));
        // Stars, fewer where the nebula is thick.
        const float star = Stars(d, 0.35f, look.seed + 5) * (1.0f - 0.6f * lanes);
        c = Add(c, Scale(Rgb{0.9f, 0.95f, 1.0f}, star));
        // The sun: a bright disc in a wide halo.
        if (look.sunStrength > 0.0f) {
            const float toSun = D3DXVec3Dot(&d, &sunDirection);
            const float disc = Smooth(0.9975f, 0.999f, toSun);
            // Integer powers by multiplication: the same bytes in every build.
            const float c1 = std::max(0.0f, toSun), c2 = c1 * c1, c4 = c2 * c2, c8 = c4 * c4, c16 = c8 * c8,
                        c64 = c16 * c16 * c16 * c16;
            const float halo = c64 * 0.6f + c8 * 0.2f;
            c = Add(c, Scale(look.sun, look.sunStrength * (disc + halo)));
        }
        return Rgba{c.r, c.g, c.b, 1.0f};
    });
}
