// The demo scene rendered through the whole program in-process (assembly,
// window, device, frame pipeline, scene) into a PNG, then read back: sky
// above, the hull of the ship in the middle, dark ground below, and a clean
// shutdown afterwards.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "port/gpu/GpuImage.h"
#include "tests/app/TempAssetRoot.h"
#include "tools/screenshot/SceneCapture.h"

namespace {
class ScreenshotGLTest : public ::testing::Test {
protected:
    TempAssetRoot root_{TempAssetRoot::Contents::WholeTree};
    const std::string dir_ = root_.Dir();
};

struct Rgb {
    int r, g, b;
};

Rgb At(const GpuImage& image, unsigned x, unsigned y) {
    const std::uint8_t* t = &image.subresources[0][(y * image.width + x) * 4];
    return {t[0], t[1], t[2]};
}

TEST_F(ScreenshotGLTest, DemoSceneShowsSkyShipAndGround) {
    SceneCapture::Options options;
    options.sceneName = "Demo";
    options.outputPath = dir_ + "/demo.png";
    options.width = 320;
    options.height = 240;
    options.frames = 3;
    std::string error;
    ASSERT_TRUE(SceneCapture::Capture(options, &error)) << error;

    GpuImage picture;
    ASSERT_EQ(picture.Load(options.outputPath, &error), GpuLoadStatus::Ok) << error;
    ASSERT_EQ(picture.width, 320u);
    ASSERT_EQ(picture.height, 240u);

    const Rgb sky = At(picture, 20, 20);
    EXPECT_GT(sky.b, sky.g) << "the sky cube's evening blue";
    EXPECT_GT(sky.r + sky.g + sky.b, 60);
    const Rgb ground = At(picture, 160, 230);
    EXPECT_LT(ground.r + ground.g + ground.b, 90) << "below the horizon";

    // The ship's grey hull plates light up a fair part of the middle band.
    int hull = 0;
    for (unsigned y = 120; y < 180; ++y)
        for (unsigned x = 40; x < 260; ++x) {
            const Rgb c = At(picture, x, y);
            if (c.r > 90 && c.g > 90 && c.b > 90 && std::abs(c.r - c.b) < 40) ++hull;
        }
    EXPECT_GT(hull, 300);
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/Sparse.dmp"));
}

TEST_F(ScreenshotGLTest, MissingSceneIsReportedAndTheRunStillShutsDown) {
    SceneCapture::Options options;
    options.sceneName = "NoSuchScene";
    options.outputPath = dir_ + "/none.png";
    options.width = 320;
    options.height = 240;
    std::string error;
    EXPECT_FALSE(SceneCapture::Capture(options, &error));
    EXPECT_NE(error.find("NoSuchScene"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(options.outputPath));
}
}  // namespace
