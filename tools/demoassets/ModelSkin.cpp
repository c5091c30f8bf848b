#include "tools/demoassets/ModelSkin.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/demoassets/MeshSketch.h"
#include "tools/demoassets/ProceduralPaint.h"

using namespace ProceduralPaint;

namespace {
constexpr float kPi = 3.14159265358979f;

// What one texel of a surface is: colour, height (0..1, for the normal
// map), shininess and light of its own.
struct Surface {
    Rgb diffuse{0, 0, 0};
    float height = 0.5f;
    float specular = 0.3f;
    Rgb glow{0, 0, 0};
};

// Distance of v to the nearest multiple of 1 / count, in cells of one.
float SeamDistance(float v, float count) {
    const float f = v * count;
    return std::fabs(f - std::round(f));
}

// Plates of `columns` x `rows` with seams, a shade per plate and rivets.
Surface Plates(const Rgb& colour, float s, float t, float columns, float rows, std::uint32_t seed) {
    Surface out;
    const int row = static_cast<int>(std::floor(t * rows));
    const float shifted = s + (row % 2) * 0.5f / columns;
    const int column = static_cast<int>(std::floor(shifted * columns));
    const float seam = std::min(SeamDistance(shifted, columns) / columns * 64.0f, SeamDistance(t, rows) / rows * 64.0f);
    const float shade = 0.88f + 0.12f * Hash(column, row, seed);
    const float grime = 0.9f + 0.1f * Fbm(s * 8.0f, t * 8.0f, seed + 5, 3);
    out.diffuse = Scale(colour, shade * grime);
    out.height = 0.6f;
    out.specular = 0.55f * grime;
    if (seam < 0.8f) {
        out.diffuse = Scale(out.diffuse, 0.45f);
        out.height = 0.25f;
        out.specular = 0.1f;
    }
    // Rivets near the plate corners.
    const float u = shifted * columns - std::floor(shifted * columns), v = t * rows - std::floor(t * rows);
    for (float cu : {0.12f, 0.88f})
        for (float cv : {0.15f, 0.85f}) {
            const float d = std::hypot((u - cu) / columns, (v - cv) / rows) * 64.0f;
            if (d < 0.7f) {
                out.height = 0.85f;
                out.diffuse = Scale(colour, 1.15f);
                out.specular = 0.9f;
            }
        }
    return out;
}

Surface Paint(const Palette& p, int cell, float s, float t) {
    Surface out;
    switch (cell) {
        case kPaintHull:
            return Plates(p.hull, s, t, 4, 3, 11);
        case kPaintPlate:
            return Plates(p.plate, s, t, 6, 5, 23);
        case kPaintTrim: {
            // Diagonal stripes of the accent over dark.
            const float stripe = std::fmod(s * 6.0f + t * 6.0f, 1.0f);
            const bool lit = stripe < 0.55f;
            out.diffuse = lit ? p.trim : Scale(p.plate, 0.6f);
            out.height = lit ? 0.65f : 0.45f;
            out.specular = lit ? 0.8f : 0.3f;
            out.glow = lit ? Scale(p.trim, 0.18f) : Rgb{0, 0, 0};
            return out;
        }
        case kPaintGlass: {
            // Dark glass lit from inside: brighter towards the middle, a
            // frame along the edges and a soft reflection band.
            const float edge = std::min(std::min(s, 1 - s) * 4.0f, std::min(t, 1 - t) * 4.0f);
            const float frame = edge < 0.12f ? 1.0f : 0.0f;
            const float b = (t - 0.35f) * 7.0f;
            const float band = std::exp(-b * b);
            out.diffuse =
                frame > 0 ? Scale(p.plate, 0.8f) : Mix(Rgb{0.02f, 0.04f, 0.10f}, Rgb{0.5f, 0.7f, 0.9f}, band * 0.5f);
            out.height = frame > 0 ? 0.7f : 0.55f;
            out.specular = frame > 0 ? 0.5f : 1.0f;
            out.glow = frame > 0 ? Rgb{0, 0, 0} : Scale(p.glow, 0.25f + 0.3f * band);
            return out;
        }
        case kPaintEngine: {
            // Burning from the centre of the nozzle outwards (caps map their
            // disc onto the cell), with rings.
            const float r = std::hypot(s - 0.5f, t - 0.5f) * 2.0f;
            const float heat = std::clamp(1.15f - r, 0.0f, 1.0f);
            const float ring = 0.85f + 0.15f * std::cos(r * 30.0f);
            out.diffuse = Mix(p.engine, Rgb{1, 1, 1}, heat * 0.6f);
            out.height = 0.5f - 0.3f * heat;
            out.specular = 0.2f;
            out.glow = Scale(Mix(p.engine, Rgb{1, 1, 1}, heat * heat * 0.7f), (0.35f + 0.9f * heat) * ring);
            return out;
        }
        case kPaintEye: {
            // Mapped on a dome: t runs from its rim (0) to its apex (1). A dark
            // lid at the rim, a burning iris with rings and rays, a dark pupil.
            const float r = 1.0f - t;
            if (r > 0.85f) {
                out.diffuse = Scale(p.plate, 0.7f);
                out.height = 0.7f;
                out.specular = 0.6f;
                return out;
            }
            if (r < 0.16f) {
                out.diffuse = Rgb{0.02f, 0.01f, 0.01f};
                out.height = 0.4f;
                out.specular = 1.0f;
                out.glow = Scale(p.eye, 0.15f);
                return out;
            }
            const float rings = 0.8f + 0.2f * std::cos(r * 40.0f);
            const float rays = 0.85f + 0.15f * std::cos(s * 2.0f * kPi * 14.0f);
            const float hot = std::clamp(1.0f - (r - 0.16f) / 0.7f, 0.0f, 1.0f);
            out.diffuse = p.eye;
            out.height = 0.5f;
            out.specular = 1.0f;
            out.glow = Scale(Mix(p.eye, Rgb{1, 0.95f, 0.8f}, 0.35f * hot * hot), (0.6f + 0.6f * hot) * rings * rays);
            return out;
        }
        case kPaintLights: {
            // Dark metal with a row of lights along s at mid-height.
            out = Plates(Scale(p.plate, 0.8f), s, t, 8, 2, 37);
            const float lamp = std::fabs(std::fmod(s * 12.0f, 1.0f) - 0.5f);
            if (std::fabs(t - 0.5f) < 0.14f && lamp < 0.32f) {
                out.diffuse = p.glow;
                out.height = 0.7f;
                out.specular = 0.9f;
                out.glow = Scale(p.glow, 1.0f);
            }
            return out;
        }
        case kPaintMetal: {
            // Gunmetal greebles: boxes of raised and sunk panels.
            const int gx = static_cast<int>(s * 8.0f), gy = static_cast<int>(t * 8.0f);
            const float level = Hash(gx / 2, gy, 41);
            const float local = std::min(SeamDistance(s, 8.0f), SeamDistance(t, 8.0f)) * 8.0f;
            out.diffuse = Scale(Mix(p.plate, Rgb{0.35f, 0.37f, 0.40f}, 0.5f), 0.7f + 0.3f * level);
            out.height = 0.3f + 0.5f * level;
            out.specular = 0.7f;
            if (local < 0.05f) {
                out.diffuse = Scale(out.diffuse, 0.5f);
                out.height -= 0.15f;
            }
            return out;
        }
        case kPaintRock:
        case kPaintCrystal: {
            const float n = Fbm(s * 6.0f, t * 6.0f, 59, 5, 6);
            const float crack = std::fabs(Fbm(s * 4.0f, t * 4.0f, 61, 4, 4) - 0.5f);
            out.diffuse = Scale(Mix(p.rock, Scale(p.rock, 0.55f), n),
                                0.8f + 0.4f * Hash(static_cast<int>(s * 40), static_cast<int>(t * 40), 3) * 0.3f);
            out.height = n;
            out.specular = 0.08f;
            if (crack < 0.03f) {
                out.diffuse = Scale(out.diffuse, 0.35f);
                out.height = n - 0.25f;
                if (cell == kPaintCrystal) {
                    const float vein = 1.0f - crack / 0.03f;
                    out.diffuse = Mix(out.diffuse, p.energy, vein);
                    out.glow = Scale(p.energy, vein * 1.2f);
                    out.specular = 0.9f;
                }
            }
            return out;
        }
        case kPaintBoxFace: {
            // A framed face with a question mark that glows.
            const float frame = std::min(std::min(s, 1 - s), std::min(t, 1 - t));
            out = Plates(p.plate, s, t, 2, 2, 71);
            if (frame < 0.09f) {
                out.diffuse = p.trim;
                out.height = 0.75f;
                out.specular = 0.8f;
                out.glow = Scale(p.trim, frame < 0.03f ? 0.6f : 0.25f);
                return out;
            }
            // The mark: an arc over a stem, and a dot.
            const float x = (s - 0.5f) / 0.5f, y = (t - 0.5f) / 0.5f;  // -1..1, y down
            const float arcR = std::hypot(x, y + 0.28f);
            const float angle = std::atan2(y + 0.28f, x);  // 0 right, -pi/2 up
            const bool onArc = std::fabs(arcR - 0.36f) < 0.1f && angle > -2.7f && angle < 1.6f;
            const bool onStem = std::fabs(x) < 0.1f && y > 0.05f && y < 0.35f;
            const bool onDot = std::hypot(x, y - 0.58f) < 0.12f;
            if (onArc || onStem || onDot) {
                out.diffuse = Mix(p.energy, Rgb{1, 1, 1}, 0.3f);
                out.height = 0.8f;
                out.specular = 0.9f;
                out.glow = Scale(p.energy, 1.2f);
            }
            return out;
        }
        case kPaintEnergy: {
            // Pure light, hottest along the middle of t (the shot's length),
            // keeping its colour.
            const float c = (t - 0.5f) * 2.2f;
            const float core = std::exp(-c * c);
            const float flicker = 0.85f + 0.15f * Noise(s * 6.0f, t * 12.0f, 83, 6);
            out.diffuse = Scale(p.energy, 0.35f);
            out.height = 0.5f;
            out.specular = 0.2f;
            out.glow = Scale(Mix(p.energy, Rgb{1, 1, 1}, 0.25f * core), (0.45f + 0.45f * core) * flicker);
            return out;
        }
        case kPaintBands: {
            // Stacked drums along t with a glowing ring between every pair.
            const float drums = 6.0f;
            const float d = SeamDistance(t, drums) / drums * 64.0f;
            out = Plates(p.plate, s, t, 8, drums, 97);
            if (d < 0.9f) {
                out.diffuse = p.glow;
                out.height = 0.3f;
                out.specular = 0.9f;
                out.glow = Scale(p.glow, 1.0f - d / 0.9f * 0.4f);
            }
            return out;
        }
        default:
            out.diffuse = p.plate;
            return out;
    }
}

// The surface at texel (x, y) of a size x size atlas: its cell, and the
// place in the cell as the mesh corners address it (the inset rim repeats
// the edge).
Surface At(const Palette& p, std::uint32_t size, std::uint32_t x, std::uint32_t y) {
    const float cellSize = static_cast<float>(size) / MeshSketch::kCells;
    const int cx = static_cast<int>(x / cellSize), cy = static_cast<int>(y / cellSize);
    const int cell = cy * MeshSketch::kCells + cx;
    const float span = 1.0f - 2.0f * MeshSketch::kCellInset;
    const float s = std::clamp(((x + 0.5f) / cellSize - cx - MeshSketch::kCellInset) / span, 0.0f, 1.0f);
    const float t = std::clamp(((y + 0.5f) / cellSize - cy - MeshSketch::kCellInset) / span, 0.0f, 1.0f);
    return cell < kPaintCount ? Paint(p, cell, s, t) : Surface{p.plate, 0.5f, 0.3f, {0, 0, 0}};
}
}  // namespace

GpuImage ModelSkin::Make(const Palette& palette, SkinMap map, std::uint32_t size) {
    if (map == SkinMap::Normal) {
        std::vector<float> heights(static_cast<size_t>(size) * size);
        for (std::uint32_t y = 0; y < size; ++y)
            for (std::uint32_t x = 0; x < size; ++x)
                heights[static_cast<size_t>(y) * size + x] = At(palette, size, x, y).height;
        return NormalsFromHeights(heights, size, 3.0f * static_cast<float>(size) / 256.0f, false);
    }
    return Build(size, 1, [&](std::uint32_t, std::uint32_t x, std::uint32_t y) {
        const Surface s = At(palette, size, x, y);
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
