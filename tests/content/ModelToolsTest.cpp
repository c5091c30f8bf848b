// The makers of the models' sources and of the textures: sketches survive
// the trip through their OBJ text and the model tool's reader unchanged and
// facing out, the DXT1 files read back close to their images, and the
// painted maps keep their promises (light only where things glow, tunnels
// that tile, skies whose faces meet).
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "port/gpu/DdsReader.h"
#include "tools/demoassets/DdsBc1.h"
#include "tools/demoassets/GameModels.h"
#include "tools/demoassets/LevelLooks.h"
#include "tools/demoassets/MeshSketch.h"
#include "tools/demoassets/ModelSkin.h"
#include "tools/demoassets/ProceduralPaint.h"
#include "tools/modeltool/ObjMeshReader.h"

namespace {

ModelCpuMesh ReadBack(const MeshSketch& sketch) {
    std::istringstream in(sketch.ObjText("test\nsketch"));
    ModelCpuMesh mesh;
    std::string error;
    EXPECT_TRUE(ObjMeshReader(ObjMeshReader::Options()).Read(in, mesh, error)) << error;
    return mesh;
}

// Volume enclosed by the triangles, positive when they face out.
float Volume(const std::vector<D3DXVECTOR3>& a, const std::vector<D3DXVECTOR3>& b, const std::vector<D3DXVECTOR3>& c) {
    float volume = 0.0f;
    for (size_t i = 0; i < a.size(); ++i) {
        D3DXVECTOR3 bc;
        D3DXVec3Cross(&bc, &b[i], &c[i]);
        volume += D3DXVec3Dot(&a[i], &bc) / 6.0f;
    }
    return volume;
}

float MeshVolume(const ModelCpuMesh& mesh) {
    std::vector<D3DXVECTOR3> a, b, c;
    for (size_t k = 0; k + 2 < mesh.indices.size(); k += 3) {
        a.push_back(mesh.vertices[mesh.indices[k]].position);
        b.push_back(mesh.vertices[mesh.indices[k + 1]].position);
        c.push_back(mesh.vertices[mesh.indices[k + 2]].position);
    }
    return Volume(a, b, c);
}

const std::uint8_t* Texel(const GpuImage& image, std::uint32_t slice, std::uint32_t x, std::uint32_t y) {
    return &image.subresources[slice * image.mipLevels][(static_cast<size_t>(y) * image.width + x) * 4];
}

int Difference(const std::uint8_t* a, const std::uint8_t* b) {
    return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
}

TEST(MeshSketchTest, ObjTextReadByTheModelToolGivesBackTheSketchCornerForCorner) {
    MeshSketch sketch;
    sketch.Box(kPaintHull, {0.5f, 0.0f, 1.0f}, {1.0f, 0.5f, 2.0f});
    const std::size_t mark = sketch.Mark();
    sketch.Lathe(kPaintEngine, {{-1.0f, 0.3f}, {0.5f, 0.4f}, {1.0f, 0.0f}}, 7, 1.0f, 0.5f, false, kPaintMetal);
    D3DXMATRIX move;
    D3DXMatrixTranslation(&move, 2.0f, 1.0f, -3.0f);
    sketch.Transform(mark, move);
    const ModelCpuMesh mesh = ReadBack(sketch);
    ASSERT_EQ(mesh.IndexCount(), sketch.Indices().size());
    for (size_t k = 0; k < mesh.indices.size(); ++k) {
        const ModelVertex& read = mesh.vertices[mesh.indices[k]];
        const MeshSketch::Corner& corner = sketch.Corners()[sketch.Indices()[k]];
        const D3DXVECTOR2 uv = MeshSketch::AtlasUv(corner);
        ASSERT_NEAR(read.position.x, corner.position.x, 1e-5f) << k;
        ASSERT_NEAR(read.position.y, corner.position.y, 1e-5f) << k;
        ASSERT_NEAR(read.position.z, corner.position.z, 1e-5f) << k;
        ASSERT_NEAR(read.normal.z, corner.normal.z, 1e-5f) << k;
        ASSERT_NEAR(read.texCoord.x, uv.x, 1e-5f) << k;
        ASSERT_NEAR(read.texCoord.y, uv.y, 1e-5f) << k;
    }
    EXPECT_NEAR(MeshVolume(mesh), 8.0f + 1.0f * 0.5f * 0.3f * 0.3f * 3.14159f, 0.25f);
}

TEST(MeshSketchTest, SolidsAndTheirMirrorsFaceOutAndStayInTheirCells) {
    MeshSketch sketch;
    sketch.Slab(kPaintPlate, kPaintTrim, {{0.5f, 0.0f}, {2.0f, 1.0f}, {2.0f, -1.0f}}, -0.1f, 0.1f);
    const float slab = MeshVolume(ReadBack(sketch));
    EXPECT_NEAR(slab, 1.5f * 0.2f, 1e-3f) << "a triangle of area 1.5, 0.2 thick";
    sketch.MirrorX(0);
    EXPECT_NEAR(MeshVolume(ReadBack(sketch)), 2.0f * slab, 1e-3f);
    // The same outline given the other way round is the same solid.
    MeshSketch reversed;
    reversed.Slab(kPaintPlate, kPaintTrim, {{2.0f, -1.0f}, {2.0f, 1.0f}, {0.5f, 0.0f}}, -0.1f, 0.1f);
    EXPECT_NEAR(MeshVolume(ReadBack(reversed)), slab, 1e-3f);

    MeshSketch round;
    round.Blob(kPaintRock, 2, [](const D3DXVECTOR3&) { return 2.0f; });
    round.Torus(kPaintLights, 3.0f, 0.5f, 24, 8);
    const float sphere = 4.0f / 3.0f * 3.14159f * 8.0f, torus = 2.0f * 3.14159f * 3.14159f * 3.0f * 0.25f;
    EXPECT_NEAR(MeshVolume(ReadBack(round)), sphere + torus, 0.08f * (sphere + torus));
    for (const MeshSketch::Corner& c : round.Corners()) {
        ASSERT_GE(c.s, 0.0f);
        ASSERT_LE(c.s, 1.0f);
        const D3DXVECTOR2 uv = MeshSketch::AtlasUv(c);
        const int cell = static_cast<int>(uv.x * MeshSketch::kCells) + static_cast<int>(uv.y * MeshSketch::kCells) * 4;
        ASSERT_EQ(cell, c.cell);
    }
}

TEST(MeshSketchTest, ObjTextIsTheSameOnEveryRunAndWritesNoNegativeZero) {
    for (const GameModel& model : GameModels()) {
        const std::string text = model.build().ObjText(model.note);
        EXPECT_EQ(text, model.build().ObjText(model.note)) << model.name;
        EXPECT_EQ(text.find("-0.000000"), std::string::npos) << model.name;
    }
}

TEST(DdsBc1Test, ImagesAndCubesReadBackCloseToWhatWasEncoded) {
    for (const bool cube : {false, true}) {
        const GpuImage image =
            ProceduralPaint::Build(32, cube ? 6 : 1, [](std::uint32_t slice, std::uint32_t x, std::uint32_t y) {
                // Colours along one line of colour space, as a block of DXT1 holds them.
                const float v = (x + y) / 62.0f;
                return ProceduralPaint::Rgba{v, 0.6f * v, 1.0f - v * (0.5f + slice / 10.0f), 1.0f};
            });
        const std::vector<std::uint8_t> bytes = EncodeBc1Dds(image);
        GpuImage read;
        std::string error;
        ASSERT_TRUE(ReadDds(bytes.data(), bytes.size(), &read, &error)) << error;
        EXPECT_EQ(read.format, GpuFormat::BC1_UNORM);
        EXPECT_EQ(read.cube, cube);
        EXPECT_EQ(read.arraySize, image.arraySize);
        EXPECT_EQ(read.mipLevels, 6u);
        read.Decompress();
        for (std::uint32_t slice = 0; slice < image.arraySize; ++slice)
            for (std::uint32_t mip = 0; mip < image.mipLevels; ++mip) {
                const auto& a = image.subresources[slice * image.mipLevels + mip];
                const auto& b = read.subresources[slice * read.mipLevels + mip];
                ASSERT_EQ(a.size(), b.size());
                long total = 0;
                for (size_t i = 0; i < a.size(); ++i) {
                    ASSERT_NEAR(a[i], b[i], 32) << slice << " " << mip << " " << i;
                    total += std::abs(a[i] - b[i]);
                }
                if (mip == 0) {
                    EXPECT_LT(total, static_cast<long>(a.size()) * 4) << slice;
                }
            }
    }
}

// Only the glowing kinds of surface give light of their own.
TEST(ModelSkinTest, GlowComesOnlyFromTheCellsThatBurn) {
    const Palette palette = GameModels().front().palette;
    const GpuImage glow = ModelSkin::Make(palette, SkinMap::Glow, 256);
    auto brightest = [&](int cell) {
        int most = 0;
        const std::uint32_t x0 = (cell % 4) * 64, y0 = (cell / 4) * 64;
        for (std::uint32_t y = y0; y < y0 + 64; ++y)
            for (std::uint32_t x = x0; x < x0 + 64; ++x) {
                const std::uint8_t* t = Texel(glow, 0, x, y);
                most = std::max({most, int(t[0]), int(t[1]), int(t[2])});
            }
        return most;
    };
    for (int dark : {kPaintHull, kPaintPlate, kPaintMetal, kPaintRock}) EXPECT_EQ(brightest(dark), 0) << dark;
    for (int lit : {kPaintGlass, kPaintEngine, kPaintEye, kPaintLights, kPaintEnergy, kPaintBoxFace, kPaintBands})
        EXPECT_GT(brightest(lit), 100) << lit;
}

// The tube repeats the material around and along: its edges must join.
TEST(LevelTexturesTest, TunnelMapsTileWithoutSeams) {
    for (const LevelLook& look : LevelLooks())
        for (const SkinMap map : {SkinMap::Diffuse, SkinMap::Glow, SkinMap::Normal}) {
            const GpuImage image = LevelTextures::Tunnel(look, map, 128);
            long across = 0, inside = 0;
            for (std::uint32_t i = 0; i < 128; ++i) {
                across += Difference(Texel(image, 0, 127, i), Texel(image, 0, 0, i)) +
                          Difference(Texel(image, 0, i, 127), Texel(image, 0, i, 0));
                inside += Difference(Texel(image, 0, 63, i), Texel(image, 0, 64, i)) +
                          Difference(Texel(image, 0, i, 63), Texel(image, 0, i, 64));
            }
            EXPECT_LE(across, inside * 2 + 128 * 6) << look.tunnel << " " << static_cast<int>(map);
        }
}

TEST(LevelTexturesTest, SkyFacesMeetAtTheirEdges) {
    for (const LevelLook& look : LevelLooks()) {
        const GpuImage sky = LevelTextures::Sky(look, 64);
        long seam = 0;
        for (std::uint32_t y = 0; y < 64; ++y) seam += Difference(Texel(sky, 0, 0, y), Texel(sky, 4, 63, y));
        EXPECT_LT(seam / 64, 24) << look.sky << ": +X meets +Z";
    }
}

TEST(LevelTexturesTest, EachLevelHasItsOwnColour) {
    // Tutorial blue, Gold warm, Forward red-magenta: the average diffuse.
    std::vector<std::array<long, 3>> sums;
    for (const LevelLook& look : LevelLooks()) {
        const GpuImage image = LevelTextures::Tunnel(look, SkinMap::Diffuse, 64);
        std::array<long, 3> sum{};
        for (size_t i = 0; i + 3 < image.subresources[0].size(); i += 4)
            for (int c = 0; c < 3; ++c) sum[c] += image.subresources[0][i + c];
        sums.push_back(sum);
    }
    ASSERT_EQ(sums.size(), 3u);
    EXPECT_GT(sums[0][2], sums[0][0]) << "Tutorial: more blue than red";
    EXPECT_GT(sums[1][0], sums[1][2]) << "Gold: more red than blue";
    EXPECT_GT(sums[1][1], sums[1][2]) << "Gold: more green than blue";
    EXPECT_GT(sums[2][0], sums[2][1]) << "Forward: more red than green";
}
}  // namespace
