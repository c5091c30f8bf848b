// GPU timestamps come back per series, in the order they were taken, and a
// collected series leaves room for the next.
#include <gtest/gtest.h>

#include "port/gpu/GpuTimestamps.h"
#include "tests/support/GpuFixture.h"

TEST(GpuTimestampsGLTest, SeriesComeBackInOrderAndQueriesServeTheNextSeries) {
    START_RIG(rig);
    GpuTimestamps stamps(rig.device->Context());
    auto target = rig.MakeTarget(16, 16);
    const float grey[4] = {0.5f, 0.5f, 0.5f, 1.0f};
    for (int i = 0; i < 3; ++i) {
        stamps.Stamp();
        rig.device->ClearRenderTargetView(target.rtv.get(), grey);
    }
    stamps.Stamp();
    EXPECT_EQ(stamps.Pending(), 4u);
    const std::vector<std::uint64_t> first = stamps.Collect();
    ASSERT_EQ(first.size(), 4u);
    EXPECT_GT(first[0], 0u);
    for (size_t i = 1; i < first.size(); ++i) EXPECT_LE(first[i - 1], first[i]) << i;
    EXPECT_EQ(stamps.Pending(), 0u);
    EXPECT_TRUE(stamps.Collect().empty());

    stamps.Stamp();
    stamps.Stamp();
    const std::vector<std::uint64_t> second = stamps.Collect();
    ASSERT_EQ(second.size(), 2u);
    EXPECT_LE(first.back(), second[0]);
    EXPECT_LE(second[0], second[1]);
    EXPECT_EQ(rig.device->DrainErrors(), 0u);
}
