#include <gtest/gtest.h>

#include <cstring>

#include "tools/particletex/ParticleMasks.h"

TEST(ParticleMasksTest, EveryMaskHasTheSameSizeAndFullMipChain) {
    const auto masks = MakeParticleMasks(64);
    ASSERT_EQ(masks.size(), 4u);
    for (const auto& mask : masks) {
        ASSERT_EQ(mask.levels.size(), 7u) << mask.name;  // 64 .. 1
        for (size_t m = 0; m < mask.levels.size(); ++m) {
            const size_t side = 64u >> m;
            EXPECT_EQ(mask.levels[m].size(), side * side * 4) << mask.name << " level " << m;
        }
    }
}

TEST(ParticleMasksTest, SoftMaskIsOpaqueInTheMiddleAndClearAtTheCorners) {
    const auto soft = MakeParticleMasks(64)[0];
    ASSERT_EQ(soft.name, "soft");
    const auto& top = soft.levels[0];
    EXPECT_GT(top[(32 * 64 + 32) * 4 + 3], 240);
    EXPECT_EQ(top[3], 0);
    EXPECT_EQ(top[0], 255);  // colour is white; the shape lives in alpha
}

TEST(ParticleMasksTest, DdsHeaderDescribesThirtyTwoBitTexelsWithAllLevels) {
    const auto mask = MakeParticleMasks(8)[1];
    const auto bytes = EncodeDds(mask);
    auto word = [&](size_t offset) {
        std::uint32_t v;
        std::memcpy(&v, &bytes[offset], 4);
        return v;
    };
    EXPECT_EQ(word(0), 0x20534444u);
    EXPECT_EQ(word(12), 8u);   // height
    EXPECT_EQ(word(16), 8u);   // width
    EXPECT_EQ(word(28), 4u);   // mip count: 8, 4, 2, 1
    EXPECT_EQ(word(88), 32u);  // bits per texel
    EXPECT_EQ(bytes.size(), 128u + (64 + 16 + 4 + 1) * 4);
}
