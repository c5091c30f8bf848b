#include <gtest/gtest.h>

#include <cmath>

#include "port/math/D3DX.h"
#include "render/frame/GraphicsSystem.h"

namespace {

// The deferred shaders rebuild view positions from depth with only the five
// entries of the inverse projection that a perspective projection leaves
// non-zero; that is the full product only while every other entry is exactly
// zero, for every window shape the renderer may get.
TEST(FrameProjectionTest, InverseProjectionIsZeroWhereTheShadersSkipIt) {
    const struct {
        int width, height;
    } sizes[] = {{1, 1}, {320, 240}, {800, 600}, {1024, 768}, {1920, 1080}, {600, 1000}, {4096, 17}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(testing::Message() << size.width << "x" << size.height);
        D3DXMATRIX projection, inverse;
        D3DXMatrixPerspectiveFovLH(&projection, GraphicsSystem::kFieldOfView,
                                   static_cast<float>(size.width) / static_cast<float>(size.height),
                                   GraphicsSystem::kNearPlane, GraphicsSystem::kFarPlane);
        ASSERT_NE(D3DXMatrixInverse(&inverse, nullptr, &projection), nullptr);
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 4; ++column) {
                const bool used = (row == column && row != 2) || (row == 2 && column == 3) || (row == 3 && column == 2);
                if (used)
                    EXPECT_TRUE(std::isfinite(inverse.m[row][column]) && inverse.m[row][column] != 0.0f)
                        << row << "," << column;
                else
                    EXPECT_EQ(inverse.m[row][column], 0.0f) << row << "," << column;
            }
    }
}

}  // namespace
