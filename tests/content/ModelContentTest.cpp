// The committed models, model textures, tunnel materials, sky boxes and
// particle archetypes of the asset tree: every name the levels use exists in
// exactly that case with its companions, every mesh is small and faces out,
// every texture reads back through the engine's reader at a power-of-two
// size with its mips, and the effects are shaped for how the game fires them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "port/gpu/DdsReader.h"
#include "port/gpu/GpuImage.h"
#include "render/mesh/ModelFile.h"

namespace {
namespace fs = std::filesystem;

const char* const kModels[] = {"Ship",   "Circler",    "Orbiter", "Drone",    "Rock",
                               "Pillar", "MysteryBox", "Bullet",  "EnemyShot"};
const char* const kTunnels[] = {"Tunnel_Tutorial", "Tunnel_Gold", "Tunnel_Forward"};
const char* const kSkies[] = {"Sky_Tutorial.dds", "Sky_Gold.dds", "Sky_Forward.dds"};
const char* const kEffects[] = {"BoostTrail", "ShotFlash", "Impact", "Explosion"};
const char* const kCompanions[] = {"", ".normal", ".specular", ".glow"};

std::string Assets() {
    return std::getenv("DD_ASSET_DIR");
}

// The names in a folder exactly as they are written on disk.
std::set<std::string> Listing(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(Assets() + "/" + folder))
        names.insert(entry.path().filename().string());
    return names;
}

std::vector<std::uint8_t> Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string Text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool PowerOfTwo(std::uint32_t v) {
    return v != 0 && (v & (v - 1)) == 0;
}

// Reads a DDS file through the engine's reader and checks the form every
// texture here must have; the top level decompressed.
GpuImage ReadTexture(const std::string& path, bool cube) {
    const std::vector<std::uint8_t> bytes = Bytes(path);
    GpuImage image;
    std::string error;
    EXPECT_TRUE(ReadDds(bytes.data(), bytes.size(), &image, &error)) << path << ": " << error;
    EXPECT_TRUE(PowerOfTwo(image.width) && PowerOfTwo(image.height))
        << path << " " << image.width << "x" << image.height;
    EXPECT_GE(image.width, 64u) << path;
    EXPECT_EQ(image.cube, cube) << path;
    EXPECT_EQ(image.arraySize, cube ? 6u : 1u) << path;
    std::uint32_t chain = 1;
    for (std::uint32_t s = std::max(image.width, image.height); s > 1; s /= 2) ++chain;
    EXPECT_EQ(image.mipLevels, chain) << path << ": every mip down to 1 x 1";
    image.Decompress();
    return image;
}

// Share of the top level's texels whose brightest channel is above `level`.
float LitShare(const GpuImage& image, int level) {
    if (image.subresources.empty()) return 0.0f;
    const std::vector<std::uint8_t>& top = image.subresources[0];
    size_t lit = 0;
    for (size_t i = 0; i + 3 < top.size(); i += 4)
        if (std::max({top[i], top[i + 1], top[i + 2]}) > level) ++lit;
    return static_cast<float>(lit) / static_cast<float>(top.size() / 4);
}

TEST(ModelContentTest, EveryContractedNameExistsInExactCaseWithItsCompanions) {
    const std::set<std::string> models = Listing("model"), textures = Listing("texture"), skies = Listing("skybox"),
                                archetypes = Listing("arch");
    for (const char* model : kModels) {
        EXPECT_EQ(models.count(std::string(model) + ".bin"), 1u) << model;
        for (const char* companion : kCompanions)
            EXPECT_EQ(textures.count(std::string(model) + companion + ".dds"), 1u) << model << companion;
    }
    for (const char* tunnel : kTunnels)
        for (const char* companion : kCompanions)
            EXPECT_EQ(textures.count(std::string(tunnel) + companion + ".dds"), 1u) << tunnel << companion;
    for (const char* sky : kSkies) EXPECT_EQ(skies.count(sky), 1u) << sky;
    for (const char* effect : kEffects) EXPECT_EQ(archetypes.count(std::string(effect) + ".arch"), 1u) << effect;
}

// Each triangle's winding (clockwise from the front, so cross(b - a, c - a)
// points out) agrees with the normals stored at its corners: a part turned
// inside out would vanish under back-face culling or be lit from behind.
TEST(ModelContentTest, EveryModelIsUnder2000TrianglesAndFacesOut) {
    for (const char* name : kModels) {
        SCOPED_TRACE(name);
        ModelFile file;
        ASSERT_EQ(file.Load(Assets() + "/model/" + name + ".bin"), ModelFile::Result::Ok) << file.Error();
        ASSERT_TRUE(file.HasMesh());
        const ModelCpuMesh& mesh = file.Mesh();
        const size_t triangles = mesh.IndexCount() / 3;
        EXPECT_GT(triangles, 12u);
        EXPECT_LT(triangles, 2000u);
        size_t inward = 0;
        float volume = 0.0f;
        for (size_t k = 0; k + 2 < mesh.indices.size(); k += 3) {
            const ModelVertex &a = mesh.vertices[mesh.indices[k]], &b = mesh.vertices[mesh.indices[k + 1]],
                              &c = mesh.vertices[mesh.indices[k + 2]];
            const D3DXVECTOR3 e1 = b.position - a.position, e2 = c.position - a.position;
            D3DXVECTOR3 face, bc;
            D3DXVec3Cross(&face, &e1, &e2);
            const D3DXVECTOR3 stored = a.normal + b.normal + c.normal;
            if (D3DXVec3LengthSq(&face) > 1e-10f && D3DXVec3Dot(&face, &stored) <= 0.0f) ++inward;
            D3DXVec3Cross(&bc, &b.position, &c.position);
            volume += D3DXVec3Dot(&a.position, &bc) / 6.0f;
        }
        EXPECT_EQ(inward, 0u) << "triangles wound against their normals";
        EXPECT_GT(volume, 0.0f) << "the solid encloses its volume from outside";
        // Centred near its origin, as the levels place it.
        EXPECT_LT(D3DXVec3Length(&file.Center()), 0.25f * D3DXVec3Length(&file.Extent()) + 0.05f);
    }
}

TEST(ModelContentTest, EveryTextureReadsBackAtAPowerOfTwoWithEveryMip) {
    for (const char* model : kModels)
        for (const char* companion : kCompanions)
            ReadTexture(Assets() + "/texture/" + model + companion + ".dds", false);
    for (const char* tunnel : kTunnels)
        for (const char* companion : kCompanions)
            ReadTexture(Assets() + "/texture/" + tunnel + companion + ".dds", false);
    for (const char* sky : kSkies) ReadTexture(Assets() + "/skybox/" + sky, true);
}

// Engines, cockpits, eyes and the tunnels' strips light up; the rest of a
// glow map stays dark, or the whole model would shine.
TEST(ModelContentTest, GlowMapsLightTheirDetailsAndLeaveTheRestDark) {
    for (const char* model : kModels) {
        const GpuImage glow = ReadTexture(Assets() + "/texture/" + model + ".glow.dds", false);
        const float share = LitShare(glow, 60);
        EXPECT_GT(share, 0.02f) << model;
        EXPECT_LT(share, 0.6f) << model;
    }
    for (const char* tunnel : kTunnels) {
        const float share = LitShare(ReadTexture(Assets() + "/texture/" + tunnel + ".glow.dds", false), 60);
        EXPECT_GT(share, 0.01f) << tunnel;
        EXPECT_LT(share, 0.3f) << tunnel;
    }
}

// Normal maps hold unit normals leaning out of the surface (z up), as the
// geometry pass decodes them.
TEST(ModelContentTest, NormalMapsHoldOutwardUnitNormals) {
    std::vector<std::string> maps;
    for (const char* model : kModels) maps.push_back(std::string("/texture/") + model + ".normal.dds");
    for (const char* tunnel : kTunnels) maps.push_back(std::string("/texture/") + tunnel + ".normal.dds");
    for (const std::string& map : maps) {
        const GpuImage image = ReadTexture(Assets() + map, false);
        const std::vector<std::uint8_t>& top = image.subresources[0];
        size_t bad = 0;
        for (size_t i = 0; i + 3 < top.size(); i += 4) {
            const float x = top[i] / 127.5f - 1.0f, y = top[i + 1] / 127.5f - 1.0f, z = top[i + 2] / 127.5f - 1.0f;
            const float length = std::sqrt(x * x + y * y + z * z);
            if (z < 0.3f || std::fabs(length - 1.0f) > 0.2f) ++bad;
        }
        EXPECT_LT(bad, top.size() / 4 / 100) << map;
    }
}

// How the game fires each effect: the boost trail is the ship's own emitter,
// switched on and off with the boost, so it must run until stopped and
// start idle; the others are one-shot runs started by the particle effect
// commands, each run short, and every mask index names a particle texture.
TEST(ModelContentTest, EffectArchetypesRunAsTheGameFiresThem) {
    const size_t masks = Listing("particle").size();
    const std::regex flag("continuous = (true|false)"), active("active = (true|false)"),
        duration("emitterDuration = ([0-9.e+-]+)"), mask("alphaMaskIdx = ([0-9]+)");
    for (const char* effect : kEffects) {
        SCOPED_TRACE(effect);
        const std::string text = Text(Assets() + "/arch/" + effect + ".arch");
        ASSERT_NE(text.find("ParticleEmmiter = "), std::string::npos);
        ASSERT_NE(text.find("Transform = "), std::string::npos);
        std::smatch m;
        ASSERT_TRUE(std::regex_search(text, m, flag));
        const bool continuous = m[1] == "true";
        ASSERT_TRUE(std::regex_search(text, m, active));
        const bool startsActive = m[1] == "true";
        ASSERT_TRUE(std::regex_search(text, m, duration));
        const float seconds = std::stof(m[1]);
        EXPECT_EQ(continuous, std::string(effect) == "BoostTrail");
        EXPECT_FALSE(startsActive);
        if (!continuous) {
            EXPECT_GT(seconds, 0.05f);
            EXPECT_LE(seconds, std::string(effect) == "Explosion" ? 2.5f : 0.8f);
        }
        size_t particles = 0;
        for (auto it = std::sregex_iterator(text.begin(), text.end(), mask); it != std::sregex_iterator(); ++it) {
            EXPECT_LT(static_cast<size_t>(std::stoul((*it)[1])), masks);
            ++particles;
        }
        EXPECT_GE(particles, 1u);
    }
}

// Everything added here stays small enough to commit.
TEST(ModelContentTest, TheFamilyWeighsUnder20Megabytes) {
    std::uintmax_t total = 0;
    for (const char* model : kModels) {
        total += fs::file_size(Assets() + "/model/" + model + ".bin");
        for (const char* companion : kCompanions)
            total += fs::file_size(Assets() + "/texture/" + model + companion + ".dds");
    }
    for (const char* tunnel : kTunnels)
        for (const char* companion : kCompanions)
            total += fs::file_size(Assets() + "/texture/" + tunnel + companion + ".dds");
    for (const char* sky : kSkies) total += fs::file_size(Assets() + "/skybox/" + sky);
    for (const auto& entry :
         fs::directory_iterator(std::string(std::getenv("DD_SOURCE_DIR")) + "/tools/demoassets/models"))
        total += entry.file_size();
    EXPECT_LT(total, std::uintmax_t(20) << 20);
}
}  // namespace
