// particletex <output folder> [size]: writes the particle alpha masks as DDS
// files (assets/particle in the repository: `particletex assets/particle`).
#include <cstdio>
#include <cstdlib>
#include <fstream>
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
        const std::string path = folder + "/" + mask.name + ".dds";
        const std::string temporary = path + ".tmp";
        const auto bytes = EncodeDds(mask);
        {
            std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
            if (!out) {
                std::fprintf(stderr, "particletex: cannot write %s\n", temporary.c_str());
                return 1;
            }
        }
        if (std::rename(temporary.c_str(), path.c_str()) != 0) {
            std::fprintf(stderr, "particletex: cannot replace %s\n", path.c_str());
            return 1;
        }
        std::printf("%s\n", path.c_str());
    }
    return 0;
}
