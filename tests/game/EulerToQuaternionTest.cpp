#include <gtest/gtest.h>

#include "game/actors/EulerToQuaternion.h"

TEST(EulerToQuaternionTest, EachAngleTurnsAboutItsOwnAxis) {
    const D3DXQUATERNION q = EulerToQuaternion(30, 40, 50);
    EXPECT_NEAR(q.x, 0.30337f, 1e-5f);
    EXPECT_NEAR(q.y, 0.36004f, 1e-5f);
    EXPECT_NEAR(q.z, 0.19663f, 1e-5f);
    EXPECT_NEAR(q.w, 0.86004f, 1e-5f);

    const float h = 0.38268343f;  // sin 22.5 degrees
    struct Case {
        float a, b, c;
        D3DXQUATERNION expected;
    } cases[] = {
        {45, 0, 0, {0, h, 0, 0.9238795f}}, {0, 45, 0, {0, 0, h, 0.9238795f}}, {0, 0, 45, {h, 0, 0, 0.9238795f}}};
    for (const Case& c : cases) {
        const D3DXQUATERNION r = EulerToQuaternion(c.a, c.b, c.c);
        EXPECT_NEAR(r.x, c.expected.x, 1e-6f);
        EXPECT_NEAR(r.y, c.expected.y, 1e-6f);
        EXPECT_NEAR(r.z, c.expected.z, 1e-6f);
        EXPECT_NEAR(r.w, c.expected.w, 1e-6f);
    }
}
