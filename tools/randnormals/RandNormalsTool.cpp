// randnormals <output folder>: writes "randnormals.dds", the 64x64 texture of
// random unit vectors that ambient occlusion turns its samples with (each
// texel a direction, xyz * 0.5 + 0.5 in red, green, blue; alpha 255).
// Deterministic: the same file on every run (assets/texture in the repository:
// `randnormals assets/texture`).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "tools/particletex/ParticleMasks.h"

namespace {

constexpr std::uint32_t kSize = 64;

// A fixed linear congruential sequence, uniform in [-1, 1).
struct Sequence {
    std::uint32_t state = 12345;
    float Next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<float>(state >> 8) / static_cast<float>(1u << 23) - 1.0f;
    }
};

std::uint8_t Encode(float v) {
    return static_cast<std::uint8_t>(std::lround((v * 0.5f + 0.5f) * 255.0f));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: randnormals <output folder>\n");
        return 2;
    }
    ParticleMask image;
    image.name = "randnormals";
    image.size = kSize;
    image.levels.emplace_back(kSize * kSize * 4);
    Sequence random;
    for (std::uint32_t i = 0; i < kSize * kSize; ++i) {
        float x, y, z, length;
        do {
            x = random.Next();
            y = random.Next();
            z = random.Next();
            length = std::sqrt(x * x + y * y + z * z);
        } while (length < 0.01f || length > 1.0f);
        std::uint8_t* texel = &image.levels[0][i * 4];
        texel[0] = Encode(x / length);
        texel[1] = Encode(y / length);
        texel[2] = Encode(z / length);
        texel[3] = 255;
    }
    if (!WriteFileReplacing(std::string(argv[1]) + "/randnormals.dds", EncodeDds(image), "randnormals")) return 1;
    return 0;
}
