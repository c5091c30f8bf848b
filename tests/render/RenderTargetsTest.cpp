#include "render/frame/RenderTargets.h"

#include <gtest/gtest.h>

namespace {

TEST(RenderTargetsTest, PictureSizeKeepsTheWindowsShapeWithinTheBounds) {
    struct Case {
        u32 width, height, deviceMax;
        u32 fitWidth, fitHeight;
    };
    const Case cases[] = {
        {1024, 768, 16384, 1024, 768},        // fits: unchanged
        {8192, 8192, 0, 8192, 8192},          // at the bound
        {100000, 100000, 16384, 8192, 8192},  // a hostile --size
        {12000, 3000, 16384, 8192, 2048},     // the shape is kept
        {3000, 12000, 16384, 2048, 8192},
        {6000, 3000, 4096, 4096, 2048},  // a device that allows less
        {100000, 1, 0, 8192, 1},         // never below one pixel
        {0, 0, 0, 1, 1},
    };
    for (const Case& c : cases) {
        u32 w = 0, h = 0;
        RenderTargets::FitSize(c.width, c.height, c.deviceMax, &w, &h);
        EXPECT_EQ(w, c.fitWidth) << c.width << "x" << c.height << " on " << c.deviceMax;
        EXPECT_EQ(h, c.fitHeight) << c.width << "x" << c.height << " on " << c.deviceMax;
    }
}

}  // namespace
