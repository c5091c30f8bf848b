// demoassets <asset root>: writes the demo scene's generated textures into
// the asset tree: texture/Ship.dds and texture/Ship.glow.dds (companions of
// the model "Ship", made by modeltool from tools/demoassets/Ship.obj) and
// skybox/Sky.dds. make-demo-assets.sh runs both tools.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tools/demoassets/DemoTextures.h"

namespace {
// Written to a temporary name and renamed over the file when complete.
bool Write(const std::string& path, const GpuImage& image) {
    const auto bytes = DemoTextures::EncodeDds(image);
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "demoassets: cannot write %s\n", temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::fprintf(stderr, "demoassets: cannot replace %s\n", path.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
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
