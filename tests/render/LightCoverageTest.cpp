#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "port/math/D3DX.h"
#include "render/frame/GraphicsSystem.h"
#include "render/frame/LightPass.h"

namespace {

// What a light volume's picture covers of the viewport, by which the light
// pass bounds a frame's lights: from the eye at the origin looking down +z
// through the renderer's projection at 4:3. A light is never counted as
// more than the screen, nor as nothing when its numbers are not numbers.
TEST(LightCoverageTest, ScreensCoveredIsThePictureOfTheSphereWithinTheViewport) {
    D3DXMATRIX view, projection;
    D3DXMatrixIdentity(&view);
    D3DXMatrixPerspectiveFovLH(&projection, GraphicsSystem::kFieldOfView, 4.0f / 3.0f, GraphicsSystem::kNearPlane,
                               GraphicsSystem::kFarPlane);
    // Radius 1 at 100: the tangents' slopes are +-1 / sqrt(100^2 - 1) on
    // both axes, the viewport 2 x 2 after the projection's scales.
    const float small = projection._11 * projection._22 / (100.0f * 100.0f - 1.0f);
    // Centred on the right edge (x / z = 1 / _11): the picture's left side is
    // the tangent turned asin(r / d) from the centre's direction.
    const float edge = 100.0f / projection._11, distance = std::hypot(edge, 100.0f);
    const float left = std::tan(std::atan2(edge, 100.0f) - std::asin(1.0f / distance)) * projection._11;
    const float halfPast = (1.0f - left) / 2 * projection._22 / std::sqrt(100.0f * 100.0f - 1.0f);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        const char* what;
        D3DXVECTOR3 centre;
        float radius;
        float expected;
        float tolerance;
    } cases[] = {
        {"small and far", {0, 0, 100}, 1.0f, small, small * 1e-4f},
        {"its range negative", {0, 0, 100}, -1.0f, small, small * 1e-4f},
        {"far past what floats square", {1e20f, 0, 1e21f}, 1e19f, small, small * 0.05f},
        {"centred on the right edge", {edge, 0, 100}, 1.0f, halfPast, halfPast * 1e-3f},
        {"wider than the view", {0, 0, 1000}, 900.0f, 1.0f, 0},
        {"touching the near plane", {0, 0, 2}, 1.0f, 1.0f, 0},
        {"holding the eye", {0, 0, 4}, 5.0f, 1.0f, 0},
        {"its range not a number", {0, 0, 100}, nan, 1.0f, 0},
        {"its place not a number", {nan, 0, 100}, 1.0f, 1.0f, 0},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(LightPass::ScreensCovered(c.centre, c.radius, view, projection), c.expected, c.tolerance) << c.what;
}

}  // namespace
