// demoassets <asset root>: writes the demo scene's generated textures into
// the asset tree: texture/Ship.dds and texture/Ship.glow.dds (companions of
// the model "Ship", made by modeltool from tools/demoassets/Ship.obj) and
// skybox/Sky.dds. make-demo-assets.sh runs both tools.
#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/demoassets/DemoTextures.h"
#include "tools/particletex/ParticleMasks.h"

namespace {
bool Write(const std::string& path, const GpuImage& image) {
    return WriteFileReplacing(path, DemoTextures::EncodeDds(image), "demoassets");
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: demoassets <asset root>\n");
        return 2;
    }
    const std::string root = argv[1];
    std::error_code error;
    std::filesystem::create_directories(root + "/texture", error);
    std::filesystem::create_directories(root + "/skybox", error);
    const bool written = Write(root + "/texture/Ship.dds", DemoTextures::Hull(128)) &&
                         Write(root + "/texture/Ship.glow.dds", DemoTextures::HullGlow(128)) &&
                         Write(root + "/skybox/Sky.dds", DemoTextures::Sky(128));
    return written ? 0 : 1;
}
