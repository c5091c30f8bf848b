// Texture files become textures with the right texels, top row first: PNG,
// JPG, TGA, BMP through stb_image, DDS with DXT1 on the GPU or decoded on the
// CPU; views of other dimensions; names found with their letter case folded.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <stb/stb_image_write.h>

#include "tests/support/GpuFixture.h"

namespace fs = std::filesystem;

namespace {

// 2x2: red, green / blue, white (top row first).
const std::uint8_t kQuad[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
const std::uint8_t kBlock[8] = {0x00, 0xF8, 0x1F, 0x00, 0xE4, 0x00, 0x55, 0xFF};

struct TempDir {
    fs::path path;
    TempDir() {
        path = fs::temp_directory_path() / ("dd_gputex_" + std::to_string(::getpid()));
        fs::create_directories(path);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    std::string File(const std::string& name) const { return (path / name).string(); }
};

std::vector<std::uint8_t> ReadTexture(GpuTexture* texture) {
    std::vector<std::uint8_t> bytes;
    texture->ReadBack(0, &bytes);
    return bytes;
}

TEST(GpuTextureGLTest, LosslessFormatsLoadTopRowFirst) {
    START_RIG(rig);
    TempDir dir;
    ASSERT_TRUE(stbi_write_png(dir.File("q.png").c_str(), 2, 2, 4, kQuad, 8));
    ASSERT_TRUE(stbi_write_tga(dir.File("q.tga").c_str(), 2, 2, 4, kQuad));
    ASSERT_TRUE(stbi_write_bmp(dir.File("q.bmp").c_str(), 2, 2, 4, kQuad));
    for (const char* name : {"q.png", "q.tga", "q.bmp"}) {
        std::shared_ptr<GpuTexture> texture;
        std::string error;
        GpuImageLoadInfo info;
        info.generateMips = false;
        ASSERT_EQ(rig.device->CreateTextureFromFile(dir.File(name), info, &texture, &error), GpuLoadStatus::Ok)
            << name << ": " << error;
        auto bytes = ReadTexture(texture.get());
        // BMP and TGA store rows bottom-up on disk; what matters is the picture's top row.
        EXPECT_EQ(0, std::memcmp(bytes.data(), kQuad, 16)) << name;
    }
    EXPECT_EQ(rig.device->DrainErrors(), 0u);
}

TEST(GpuTextureGLTest, JpegLoadsCloseToItsColours) {
    START_RIG(rig);
    TempDir dir;
    std::vector<std::uint8_t> pixels(16 * 16 * 3);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            std::uint8_t* p = &pixels[(y * 16 + x) * 3];
            p[0] = y < 8 ? 250 : 0;
            p[1] = 0;
            p[2] = y < 8 ? 0 : 250;
        }
    ASSERT_TRUE(stbi_write_jpg(dir.File("q.jpg").c_str(), 16, 16, 3, pixels.data(), 100));
    std::shared_ptr<GpuTexture> texture;
    ASSERT_EQ(rig.device->CreateTextureFromFile(dir.File("q.jpg"), {}, &texture), GpuLoadStatus::Ok);
    auto bytes = ReadTexture(texture.get());
    EXPECT_GT(bytes[0], 200);  // top-left red
    EXPECT_LT(bytes[2], 60);
    EXPECT_GT(bytes[15 * 64 + 2], 200);           // bottom-left blue
    EXPECT_EQ(texture->GetDesc().mipLevels, 5u);  // full chain made for a single-level file
}

TEST(GpuTextureGLTest, Dxt1BlockSamplesToItsColoursOnGpuAndCpu) {
    START_RIG(rig);
    GpuImage image;
    image.format = GpuFormat::BC1_UNORM;
    image.width = image.height = 4;
    image.subresources.assign(1, std::vector<std::uint8_t>(kBlock, kBlock + 8));

    GpuImage decoded = image;
    decoded.Decompress();
    for (bool force : {false, true}) {
        GpuImageLoadInfo info;
        info.forceRGBA8 = force;
        auto texture = rig.device->CreateTextureFromImage(image, info);
        ASSERT_TRUE(texture);
        EXPECT_EQ(texture->GetDesc().format,
                  force || !rig.device->HasS3tc() ? GpuFormat::R8G8B8A8_UNORM : GpuFormat::BC1_UNORM);
        // Read through the driver's own decompression of the stored texture.
        auto bytes = ReadTexture(texture.get());
        ASSERT_EQ(bytes.size(), 64u);
        for (int i = 0; i < 64; ++i) EXPECT_NEAR(bytes[i], decoded.subresources[0][i], 1) << "byte " << i;
        EXPECT_EQ(bytes[0], 255);      // top-left: red endpoint
        EXPECT_EQ(bytes[4 + 2], 255);  // next: blue endpoint
        EXPECT_EQ(bytes[48], 85);      // bottom row: one third red
    }
}

TEST(GpuTextureGLTest, DdsFileLoadsAndNameIsFoundWithCaseFolded) {
    START_RIG(rig);
    TempDir dir;
    fs::create_directories(dir.path / "Textures");
    std::vector<std::uint8_t> file(128, 0);
    std::memcpy(file.data(), "DDS ", 4);
    auto put = [&](size_t at, std::uint32_t v) { std::memcpy(&file[at], &v, 4); };
    put(4, 124);
    put(8, 0x1007);
    put(12, 4);
    put(16, 4);
    put(76, 32);
    put(80, 0x4);
    put(84, 0x31545844);
    file.insert(file.end(), kBlock, kBlock + 8);
    std::ofstream(dir.File("Textures/Hull.DDS"), std::ios::binary)
        .write(reinterpret_cast<char*>(file.data()), static_cast<std::streamsize>(file.size()));
    std::shared_ptr<GpuShaderResourceView> view;
    std::string error;
    EXPECT_EQ(rig.device->CreateShaderResourceViewFromFile(dir.File("textures/hull.dds"), &view, &error),
              GpuLoadStatus::Ok)
        << error;
    ASSERT_TRUE(view);
    EXPECT_EQ(view->Texture()->GetDesc().width, 4u);
    EXPECT_EQ(rig.device->CreateShaderResourceViewFromFile(dir.File("textures/none.dds"), &view, &error),
              GpuLoadStatus::FileNotFound);
    std::ofstream(dir.File("broken.png")) << "not an image";
    EXPECT_EQ(rig.device->CreateShaderResourceViewFromFile(dir.File("broken.png"), &view, &error),
              GpuLoadStatus::Failed);
}

TEST(GpuTextureGLTest, SingleTextureViewedAsArrayAndCubeFromSixSlices) {
    START_RIG(rig);
    GpuTextureDesc d;
    d.width = d.height = 2;
    auto single = rig.device->CreateTexture(d);
    GpuSrvDesc asArray;
    asArray.dimension = GpuSrvDimension::Texture2DArray;
    auto view = rig.device->CreateShaderResourceView(single, &asArray);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->Dimension(), GpuSrvDimension::Texture2DArray);
    EXPECT_NE(view->GlName(), single->GlName());

    d.arraySize = 6;
    d.miscFlags = GpuMiscTextureCube;
    auto cube = rig.device->CreateTexture(d);
    auto cubeView = rig.device->CreateShaderResourceView(cube);
    ASSERT_TRUE(cubeView);
    EXPECT_EQ(cubeView->Dimension(), GpuSrvDimension::TextureCube);

    GpuImage notCube;
    notCube.width = notCube.height = 1;
    notCube.Allocate();
    GpuImageLoadInfo cubeInfo;
    cubeInfo.cube = true;
    EXPECT_FALSE(rig.device->CreateTextureFromImage(notCube, cubeInfo));
    EXPECT_EQ(rig.device->DrainErrors(), 0u);
}

TEST(GpuTextureGLTest, CubeWithFacesThatAreNotSquareIsNoTexture) {
    START_RIG(rig);
    GpuTextureDesc d;
    d.width = 4;
    d.height = 2;
    d.arraySize = 6;
    d.miscFlags = GpuMiscTextureCube;
    EXPECT_FALSE(rig.device->CreateTexture(d));
    EXPECT_EQ(rig.device->DrainErrors(), 0u);
}

TEST(GpuTextureGLTest, TextureLargerThanTheImplementationAllowsIsNoTexture) {
    START_RIG(rig);
    GpuImage wide;
    wide.width = 1u << 20;  // a strip far wider than any GL texture
    wide.height = 1;
    wide.Allocate();
    GpuImageLoadInfo info;
    info.generateMips = false;
    EXPECT_FALSE(rig.device->CreateTextureFromImage(wide, info));
    EXPECT_EQ(rig.device->DrainErrors(), 0u);
}

}  // namespace
