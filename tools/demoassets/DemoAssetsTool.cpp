// demoassets <asset root>: writes the generated textures of the asset tree:
// for every game model texture/<Name>.dds with its .normal, .specular and
// .glow companions, for every level its tunnel material (texture/Tunnel_*)
// and its sky cube (skybox/Sky_*.dds), and the demo scene's sky
// (skybox/Sky.dds).
// demoassets --obj <folder>: writes the game models' OBJ sources
// (<folder>/<Name>.obj), which the model tool turns into model/<Name>.bin.
// make-demo-assets.sh runs both and the model tool.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/demoassets/DdsBc1.h"
#include "tools/demoassets/DemoTextures.h"
#include "tools/demoassets/GameModels.h"
#include "tools/demoassets/LevelLooks.h"
#include "tools/particletex/ParticleMasks.h"

namespace {
constexpr std::uint32_t kModelTextureSize = 256;
constexpr std::uint32_t kTunnelTextureSize = 512;
constexpr std::uint32_t kSkySize = 512;

const struct {
    SkinMap map;
    const char* suffix;
} kMaps[] = {
    {SkinMap::Diffuse, ""}, {SkinMap::Normal, ".normal"}, {SkinMap::Specular, ".specular"}, {SkinMap::Glow, ".glow"}};

bool WriteTextures(const std::string& root) {
    std::error_code error;
    std::filesystem::create_directories(root + "/texture", error);
    std::filesystem::create_directories(root + "/skybox", error);
    for (const GameModel& model : GameModels())
        for (const auto& m : kMaps)
            if (!WriteFileReplacing(root + "/texture/" + model.name + m.suffix + ".dds",
                                    EncodeBc1Dds(ModelSkin::Make(model.palette, m.map, kModelTextureSize)),
                                    "demoassets"))
                return false;
    for (const LevelLook& look : LevelLooks()) {
        for (const auto& m : kMaps)
            if (!WriteFileReplacing(root + "/texture/" + look.tunnel + m.suffix + ".dds",
                                    EncodeBc1Dds(LevelTextures::Tunnel(look, m.map, kTunnelTextureSize)), "demoassets"))
                return false;
        if (!WriteFileReplacing(root + "/skybox/" + look.sky, EncodeBc1Dds(LevelTextures::Sky(look, kSkySize)),
                                "demoassets"))
            return false;
    }
    return WriteFileReplacing(root + "/skybox/Sky.dds", DemoTextures::EncodeDds(DemoTextures::Sky(128)), "demoassets");
}

bool WriteObjSources(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    for (const GameModel& model : GameModels()) {
        const std::string text =
            model.build().ObjText(model.name + ": " + model.note +
                                  "\nMade by tools/demoassets (demoassets --obj); faces +z, y up, in world units.");
        if (!WriteFileReplacing(folder + "/" + model.name + ".obj", std::vector<std::uint8_t>(text.begin(), text.end()),
                                "demoassets"))
            return false;
    }
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--obj") return WriteObjSources(argv[2]) ? 0 : 1;
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: demoassets <asset root> | demoassets --obj <folder>\n");
        return 2;
    }
    return WriteTextures(argv[1]) ? 0 : 1;
}
