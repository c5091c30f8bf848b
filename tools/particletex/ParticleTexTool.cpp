// particletex <output folder> [size]: writes the particle alpha masks as DDS
// files (assets/particle in the repository: `particletex assets/particle`).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/particletex/ParticleMasks.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: particletex <output folder> [size, a power of two, default 64]\n");
        return 2;
    }
    const std::string folder = argv[1];
    const long size = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 64;
    if (size < 1 || size > 4096 || (size & (size - 1)) != 0) {
        std::fprintf(stderr, "particletex: size must be a power of two from 1 to 4096\n");
        return 2;
    }
    for (const ParticleMask& mask : MakeParticleMasks(static_cast<std::uint32_t>(size))) {
        if (!WriteFileReplacing(folder + "/" + mask.name + ".dds", EncodeDds(mask), "particletex")) return 1;
    }
    return 0;
}
