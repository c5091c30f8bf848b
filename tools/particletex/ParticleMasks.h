// The particle alpha masks: square RGBA8 images (white, the shape in alpha)
// with their full mip chains, and their DDS encoding. Every mask has the
// same size and mip count, as the particle texture array needs. Pure
// functions, and the file writer the texture tools share; used by the
// particletex, randnormals and demoassets tools and their tests.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct ParticleMask {
    std::string name;  // file name without extension
    std::uint32_t size = 0;
    // levels[m]: (size >> m)^2 texels of 4 bytes, row by row.
    std::vector<std::vector<std::uint8_t>> levels;
};

// The masks, each `size` x `size` (a power of two): "soft" (round, fading
// out), "ring", "spark" (a four-pointed star) and "smoke" (a cloudy blob).
std::vector<ParticleMask> MakeParticleMasks(std::uint32_t size);
// A DDS file of 32-bit A8B8G8R8 texels (bytes r, g, b, a) with every level.
std::vector<std::uint8_t> EncodeDds(const ParticleMask& mask);
// Writes `bytes` to `path` through WriteWholeFile (a temporary file renamed
// over it when complete), then prints the path. On failure reports "<tool>:
// cannot ... <path>: <reason>" on stderr and returns false; the old file is
// then untouched.
bool WriteFileReplacing(const std::string& path, const std::vector<std::uint8_t>& bytes, const char* tool);
