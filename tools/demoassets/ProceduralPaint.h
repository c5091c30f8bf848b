// Small deterministic helpers the texture generators share: repeatable
// hashes and value noise (the same on every run and machine), colour
// mixing, and the build of a square R8G8B8A8 image with its mip chain from a
// colour function. Pure functions; any thread.
#pragma once
#include <cstdint>
#include <functional>

#include "port/gpu/GpuImage.h"
#include "port/math/D3DX.h"
#include "tools/demoassets/ModelSkin.h"

namespace ProceduralPaint {

// A repeatable hash of two integers (and a seed) to [0, 1).
float Hash(std::int32_t x, std::int32_t y, std::uint32_t seed = 0);
// Smooth value noise in [0, 1) with integer lattice; wraps every `period`
// lattice cells when period > 0 (tileable textures).
float Noise(float x, float y, std::uint32_t seed, int period = 0);
// Sum of `octaves` noises, each twice the frequency and half the weight.
float Fbm(float x, float y, std::uint32_t seed, int octaves, int period = 0);

// Value noise in three dimensions (seamless over a cube map's faces).
float Noise3(float x, float y, float z, std::uint32_t seed);
float Fbm3(float x, float y, float z, std::uint32_t seed, int octaves);
// The unit direction through texel centre (s, t) in -1..1 of cube face
// `face` in Direct3D order (+X, -X, +Y, -Y, +Z, -Z).
D3DXVECTOR3 CubeDirection(std::uint32_t face, float s, float t);

Rgb Mix(const Rgb& a, const Rgb& b, float t);
Rgb Scale(const Rgb& a, float k);
Rgb Add(const Rgb& a, const Rgb& b);
float Smooth(float edge0, float edge1, float x);

struct Rgba {
    float r, g, b, a;
};
// size x size x slices (six slices: a cube in Direct3D face order) from
// colour(slice, x, y) with components in 0..1, then every mip by 2 x 2
// averaging.
GpuImage Build(std::uint32_t size, std::uint32_t slices,
               const std::function<Rgba(std::uint32_t, std::uint32_t, std::uint32_t)>& colour);

// A tangent-space normal map (normal * 0.5 + 0.5, z out of the surface) from
// heights[y * size + x]: `strength` scales the slopes; `wrap` samples across
// the edges, otherwise edges repeat.
GpuImage NormalsFromHeights(const std::vector<float>& heights, std::uint32_t size, float strength, bool wrap);

}  // namespace ProceduralPaint
