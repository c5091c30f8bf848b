// Texture files in memory: DDS headers, DXT blocks, bad and short files, and
// the conversions used for particle masks.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "port/gpu/DdsReader.h"
#include "port/gpu/DxtDecoder.h"
#include "port/gpu/GpuImage.h"

namespace {

void Put32(std::vector<std::uint8_t>& b, size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A DDS header; pixel format fields as given.
std::vector<std::uint8_t> DdsHeader(std::uint32_t w, std::uint32_t h, std::uint32_t mips, std::uint32_t pfFlags,
                                    std::uint32_t fourCC, std::uint32_t bits = 0,
                                    std::initializer_list<std::uint32_t> masks = {}, std::uint32_t caps2 = 0) {
    std::vector<std::uint8_t> b(128, 0);
    std::memcpy(b.data(), "DDS ", 4);
    Put32(b, 4, 124);
    Put32(b, 8, 0x1007 | (mips > 1 ? 0x20000 : 0));
    Put32(b, 12, h);
    Put32(b, 16, w);
    Put32(b, 28, mips);
    Put32(b, 76, 32);
    Put32(b, 80, pfFlags);
    Put32(b, 84, fourCC);
    Put32(b, 88, bits);
    size_t at = 92;
    for (std::uint32_t m : masks) {
        Put32(b, at, m);
        at += 4;
    }
    Put32(b, 112, caps2);
    return b;
}

constexpr std::uint32_t kDxt1 = 0x31545844;  // "DXT1"

// Red and blue endpoints; rows of indices 0 1 2 3 / 0 0 0 0 / 1 1 1 1 / 3 3 3 3.
const std::uint8_t kBlock[8] = {0x00, 0xF8, 0x1F, 0x00, 0xE4, 0x00, 0x55, 0xFF};

TEST(DxtDecoderTest, Dxt1FourColourBlockGivesEndpointsAndThirds) {
    std::uint8_t rgba[64];
    DecodeDxt1Block(kBlock, rgba);
    const std::uint8_t row0[16] = {255, 0, 0, 255, 0, 0, 255, 255, 170, 0, 85, 255, 85, 0, 170, 255};
    EXPECT_EQ(0, std::memcmp(rgba, row0, 16));
    EXPECT_EQ(rgba[16 + 0], 255);  // row 1: red
    EXPECT_EQ(rgba[32 + 2], 255);  // row 2: blue
    EXPECT_EQ(rgba[48 + 0], 85);   // row 3: one third red
}

TEST(DxtDecoderTest, Dxt1ThreeColourBlockHasTransparentBlack) {
    const std::uint8_t block[8] = {0x1F, 0x00, 0x00, 0xF8, 0xFF, 0xFF, 0xFF, 0xFF};  // c0 < c1, all index 3
    std::uint8_t rgba[64];
    DecodeDxt1Block(block, rgba);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(rgba[4 * i + 3], 0);
}

TEST(DxtDecoderTest, Dxt5AlphaRampsBetweenEndpoints) {
    std::uint8_t block[16] = {255, 0};  // a0 > a1: eight alphas
    // texel 0 index 0 (255), texel 1 index 1 (0), texel 2 index 2 (6/7 of 255)
    block[2] = 0x88 & 0xFF;  // bits: t0=000, t1=001, t2=010 -> 0b010001000 = 0x88
    block[3] = 0x00;
    std::memcpy(block + 8, kBlock, 8);
    std::uint8_t rgba[64];
    DecodeDxt5Block(block, rgba);
    EXPECT_EQ(rgba[3], 255);
    EXPECT_EQ(rgba[7], 0);
    EXPECT_EQ(rgba[11], 218);
}

TEST(DdsReaderTest, Dxt1WithMipsKeepsBlocksPerLevel) {
    auto file = DdsHeader(8, 4, 3, 0x4, kDxt1);
    // mip 0: 2x1 blocks, mip 1 (4x2): 1 block, mip 2 (2x1): 1 block
    for (int i = 0; i < 4; ++i) file.insert(file.end(), kBlock, kBlock + 8);
    GpuImage image;
    std::string error;
    ASSERT_TRUE(ReadDds(file.data(), file.size(), &image, &error)) << error;
    EXPECT_EQ(image.format, GpuFormat::BC1_UNORM);
    EXPECT_EQ(image.mipLevels, 3u);
    EXPECT_EQ(image.subresources[0].size(), 16u);
    EXPECT_EQ(image.subresources[2].size(), 8u);
    image.Decompress();
    EXPECT_EQ(image.format, GpuFormat::R8G8B8A8_UNORM);
    EXPECT_EQ(image.subresources[0].size(), 8u * 4 * 4);
    EXPECT_EQ(image.subresources[2].size(), 2u * 1 * 4);
}

TEST(DdsReaderTest, TruncatedDataIsRefusedWithoutReadingPastTheEnd) {
    auto file = DdsHeader(64, 64, 1, 0x4, kDxt1);
    file.resize(file.size() + 100);  // needs 16 * 16 * 8 bytes
    GpuImage image;
    std::string error;
    EXPECT_FALSE(ReadDds(file.data(), file.size(), &image, &error));
    EXPECT_NE(error.find("too short"), std::string::npos);
    EXPECT_FALSE(ReadDds(file.data(), 60, &image, &error));
    auto huge = DdsHeader(0x7FFFFFFF, 0x7FFFFFFF, 1, 0x4, kDxt1);
    EXPECT_FALSE(ReadDds(huge.data(), huge.size(), &image, &error));
    auto tooManyMips = DdsHeader(4, 4, 9, 0x4, kDxt1);
    EXPECT_FALSE(ReadDds(tooManyMips.data(), tooManyMips.size(), &image, &error));
}

TEST(DdsReaderTest, BgraMasksBecomeRgba) {
    auto file = DdsHeader(1, 1, 1, 0x41, 0, 32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000u});
    const std::uint8_t bgra[4] = {10, 20, 30, 40};
    file.insert(file.end(), bgra, bgra + 4);
    GpuImage image;
    std::string error;
    ASSERT_TRUE(ReadDds(file.data(), file.size(), &image, &error)) << error;
    const std::uint8_t rgba[4] = {30, 20, 10, 40};
    EXPECT_EQ(0, std::memcmp(image.subresources[0].data(), rgba, 4));
}

TEST(DdsReaderTest, CubeMapHasSixFaces) {
    auto file = DdsHeader(1, 1, 1, 0x40, 0, 24, {0xFF0000, 0xFF00, 0xFF, 0}, 0x200 | 0xFC00);
    for (int face = 0; face < 6; ++face) {
        const std::uint8_t bgr[3] = {0, 0, static_cast<std::uint8_t>(face * 40)};
        file.insert(file.end(), bgr, bgr + 3);
    }
    GpuImage image;
    std::string error;
    ASSERT_TRUE(ReadDds(file.data(), file.size(), &image, &error)) << error;
    EXPECT_TRUE(image.cube);
    ASSERT_EQ(image.subresources.size(), 6u);
    EXPECT_EQ(image.subresources[5][0], 200);
    EXPECT_EQ(image.subresources[5][3], 255);
}

TEST(DdsReaderTest, CubeMapWithFacesThatAreNotSquareIsRefused) {
    auto file = DdsHeader(2, 1, 1, 0x40, 0, 24, {0xFF0000, 0xFF00, 0xFF, 0}, 0x200 | 0xFC00);
    file.resize(file.size() + 6 * 2 * 3, 0);
    GpuImage image;
    std::string error;
    EXPECT_FALSE(ReadDds(file.data(), file.size(), &image, &error));
    EXPECT_NE(error.find("square"), std::string::npos) << error;
}

TEST(GpuImageTest, UndecodableBytesFailWithReason) {
    const std::uint8_t junk[16] = {1, 2, 3};
    GpuImage image;
    std::string error;
    EXPECT_FALSE(image.Decode(junk, sizeof junk, &error));
    EXPECT_FALSE(error.empty());
}

TEST(GpuImageTest, MissingFileIsFileNotFound) {
    GpuImage image;
    std::string error;
    EXPECT_EQ(image.Load("/nonexistent/dir/none.png", &error), GpuLoadStatus::FileNotFound);
}

TEST(GpuImageTest, ResizedKeepsSolidColourAndMakesMips) {
    GpuImage image;
    image.width = 3;
    image.height = 5;
    image.Allocate();
    for (size_t i = 0; i < image.subresources[0].size(); i += 4) {
        image.subresources[0][i] = 200;
        image.subresources[0][i + 3] = 255;
    }
    GpuImage out = image.Resized(8, 8, 4);
    ASSERT_EQ(out.subresources.size(), 4u);
    EXPECT_EQ(out.subresources[0].size(), 8u * 8 * 4);
    EXPECT_EQ(out.subresources[3].size(), 4u);
    EXPECT_EQ(out.subresources[3][0], 200);
    EXPECT_EQ(out.subresources[0][4 * 27], 200);
}

}  // namespace
