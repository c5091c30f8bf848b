#include <gtest/gtest.h>

#include "port/gpu/DdsReader.h"
#include "tools/demoassets/DemoTextures.h"

namespace {
const std::uint8_t* Texel(const GpuImage& image, unsigned slice, unsigned x, unsigned y) {
    return &image.subresources[slice * image.mipLevels][(y * image.width + x) * 4];
}

TEST(DemoTexturesTest, SkyCubeReadsBackAsACubeWithEveryMip) {
    const GpuImage sky = DemoTextures::Sky(16);
    const auto bytes = DemoTextures::EncodeDds(sky);
    GpuImage read;
    std::string error;
    ASSERT_TRUE(ReadDds(bytes.data(), bytes.size(), &read, &error)) << error;
    EXPECT_TRUE(read.cube);
    EXPECT_EQ(read.arraySize, 6u);
    EXPECT_EQ(read.mipLevels, 5u);
    EXPECT_EQ(read.width, 16u);
    EXPECT_EQ(read.subresources, sky.subresources);
}

TEST(DemoTexturesTest, HullReadsBackAsAPlainTexture) {
    const GpuImage hull = DemoTextures::Hull(32);
    const auto bytes = DemoTextures::EncodeDds(hull);
    GpuImage read;
    std::string error;
    ASSERT_TRUE(ReadDds(bytes.data(), bytes.size(), &read, &error)) << error;
    EXPECT_FALSE(read.cube);
    EXPECT_EQ(read.arraySize, 1u);
    EXPECT_EQ(read.mipLevels, 6u);
    EXPECT_EQ(read.subresources, hull.subresources);
}

// The faces must be oriented as Direct3D samples them: up is the +Y face, and
// on the side faces the sky is in the top rows and the ground in the bottom.
TEST(DemoTexturesTest, SkyFacesPutTheZenithUpAndTheHorizonAcrossTheSides) {
    const GpuImage sky = DemoTextures::Sky(32);
    const std::uint8_t* zenith = Texel(sky, 2, 16, 16);
    const std::uint8_t* nadir = Texel(sky, 3, 16, 16);
    EXPECT_GT(zenith[2], zenith[0]) << "deep blue overhead";
    EXPECT_LT(nadir[0] + nadir[1] + nadir[2], 60);
    for (unsigned face : {0u, 1u, 4u, 5u}) {
        const std::uint8_t* top = Texel(sky, face, 3, 0);
        const std::uint8_t* middle = Texel(sky, face, 3, 15);
        const std::uint8_t* bottom = Texel(sky, face, 3, 31);
        EXPECT_GT(middle[0], top[0]) << "face " << face << ": the haze is brighter than the upper sky";
        EXPECT_GT(middle[0], bottom[0]) << "face " << face << ": the haze is brighter than the ground";
        EXPECT_GT(top[2], top[0]) << "face " << face;
    }
}
}  // namespace
