#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "port/os/CRand.h"
#include "render/mesh/NoiseGenerator.h"
#include "render/mesh/NoiseGrid.h"
#include "tests/port/ChildProcess.h"

namespace {
// An independent copy of the C runtime sequence, seed 1.
struct ReferenceRand {
    u32 state = 1;
    int Next() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }
};

// The renderer draws 1024 random vectors (4096 values) before any noise.
void DrawRendererRandomVectors() {
    for (int i = 0; i < 1024 * 4; ++i) CRand();
}
}  // namespace

TEST(CRandTest, ReproducesTheRuntimeSequenceFromSeedOne) {
    CSRand(1);
    EXPECT_EQ(CRand(), 41);
    EXPECT_EQ(CRand(), 18467);
    EXPECT_EQ(CRand(), 6334);
}

TEST(NoiseGeneratorTest, WhiteGridAfterRendererDrawsContinuesTheSequenceColumnByColumn) {
    CSRand(1);
    DrawRendererRandomVectors();
    auto white = NoiseGenerator::MakeWhiteNoise(4, 3, false);

    ReferenceRand reference;
    for (int i = 0; i < 4096; ++i) reference.Next();
    for (u32 x = 0; x < 4; ++x)
        for (u32 y = 0; y < 3; ++y)
            EXPECT_EQ(white->At(x, y), static_cast<float>(reference.Next()) / 32767.0f) << x << "," << y;
}

TEST(NoiseGeneratorTest, GaussianWhiteNoiseSumsThreeDrawsCappedAtOne) {
    CSRand(1);
    auto white = NoiseGenerator::MakeWhiteNoise(16, 16, true);
    ReferenceRand reference;
    int ones = 0;
    for (u32 x = 0; x < 16; ++x) {
        for (u32 y = 0; y < 16; ++y) {
            float sum = static_cast<float>(reference.Next()) / 32767.0f;
            sum += static_cast<float>(reference.Next()) / 32767.0f;
            sum += static_cast<float>(reference.Next()) / 32767.0f;
            EXPECT_EQ(white->At(x, y), std::min(sum, 1.0f));
            ones += white->At(x, y) == 1.0f;
        }
    }
    EXPECT_GT(ones, 256 / 2);
}

TEST(NoiseGeneratorTest, SmoothLayerZeroIsWhiteAndCoarseLayersKeepCornerCells) {
    CSRand(7);
    auto white = NoiseGenerator::MakeWhiteNoise(16, 8, false);
    auto smooth = NoiseGenerator::MakeSmoothNoise(16, 8, 3, *white);
    ASSERT_EQ(smooth->depth, 3u);
    for (u32 y = 0; y < 8; ++y) {
        for (u32 x = 0; x < 16; ++x) {
            EXPECT_EQ(smooth->At(x, y, 0), white->At(x, y));
            if (x % 4 == 0 && y % 4 == 0) {
                EXPECT_FLOAT_EQ(smooth->At(x, y, 2), white->At(x, y));
            }
            EXPECT_GE(smooth->At(x, y, 2), 0.0f);
            EXPECT_LE(smooth->At(x, y, 2), 1.0f);
        }
    }
}

TEST(NoiseGeneratorTest, OneOctaveGivesTheWhiteGridBack) {
    CSRand(1);
    auto white = NoiseGenerator::MakeWhiteNoise(8, 8, false);
    CSRand(1);
    NoiseGenerator generator;
    NoiseGrid* fractal = generator.GetFractalNoise(8, 8, 1, 0.5f, false);
    ASSERT_NE(fractal, nullptr);
    for (size_t i = 0; i < white->values.size(); ++i) EXPECT_FLOAT_EQ(fractal->values[i], white->values[i]);
}

TEST(NoiseGeneratorTest, DefaultPrimitiveSettingsGiveNoGridInsteadOfDividingByZero) {
    NoiseGenerator generator;
    EXPECT_EQ(generator.GetFractalNoise(0, 0, 0, 0.0f, false), nullptr);
    EXPECT_EQ(generator.GetFractalNoise(8, 8, 4, std::numeric_limits<float>::quiet_NaN(), false), nullptr);
    EXPECT_EQ(generator.GetFractalNoise(8, 8, 2, -1.0f, false), nullptr);  // weights -1 + 1
    EXPECT_EQ(generator.GetFractalNoise(8, 8, 4, 1e30f, false), nullptr);  // weights overflow
}

TEST(NoiseGeneratorTest, HostileSizesAndOctavesAreClampedToFiniteGrids) {
    NoiseGenerator generator;
    NoiseGrid* tiny = generator.GetFractalNoise(-5, 0, -3, 0.5f, true);
    ASSERT_NE(tiny, nullptr);
    EXPECT_EQ(tiny->width, 2u);
    EXPECT_EQ(tiny->height, 2u);
    NoiseGrid* huge = generator.GetFractalNoise(1 << 30, 3, 1000, 0.5f, false);
    ASSERT_NE(huge, nullptr);
    EXPECT_EQ(huge->width, static_cast<u32>(NoiseGenerator::kMaxSide));
    for (float v : huge->values) ASSERT_TRUE(std::isfinite(v));
}

TEST(NoiseGeneratorTest, LaterLargerRequestGetsItsOwnGridWithinBounds) {
    NoiseGenerator generator;
    NoiseGrid* small = generator.GetFractalNoise(4, 4, 2, 0.5f, false);
    NoiseGrid* large = generator.GetFractalNoise(64, 32, 4, 0.5f, false);
    ASSERT_NE(small, nullptr);
    ASSERT_NE(large, nullptr);
    EXPECT_NE(small, large);
    EXPECT_EQ(large->width, 64u);
    EXPECT_EQ(large->height, 32u);
    for (float v : large->values) {
        ASSERT_GE(v, 0.0f);
        ASSERT_LE(v, 1.0f);
    }
}

TEST(NoiseGeneratorTest, ResultsAreCachedUnderTheirWholeRequest) {
    NoiseGenerator generator;
    NoiseGrid* a = generator.GetFractalNoise(16, 16, 3, 0.5f, false);
    EXPECT_EQ(generator.GetFractalNoise(16, 16, 3, 0.5f, false), a);
    EXPECT_NE(generator.GetFractalNoise(16, 16, 4, 0.5f, false), a);
    EXPECT_NE(generator.GetFractalNoise(16, 16, 3, 0.5f, true), a);
    EXPECT_NE(generator.GetFractalNoise(32, 16, 3, 0.5f, false), a);
    EXPECT_EQ(generator.GetFractalNoise(16, 16, 3, 0.5f, false), a);
}

TEST(NoiseGridTest, SampleCosineHitsCellsAtCornersAndStaysInside) {
    NoiseGrid grid(3, 2);
    for (u32 i = 0; i < 6; ++i) grid.values[i] = static_cast<float>(i);
    EXPECT_FLOAT_EQ(NoiseGrid::SampleCosine(&grid, 0.0f, 0.0f), 0.0f);
    EXPECT_FLOAT_EQ(NoiseGrid::SampleCosine(&grid, 1.0f, 0.0f), 2.0f);
    EXPECT_FLOAT_EQ(NoiseGrid::SampleCosine(&grid, 1.0f, 1.0f), 5.0f);
    EXPECT_FLOAT_EQ(NoiseGrid::SampleCosine(&grid, 0.25f, 0.0f), 0.5f);  // halfway: cosine weight 0.5
    EXPECT_FLOAT_EQ(NoiseGrid::SampleCosine(&grid, std::numeric_limits<float>::quiet_NaN(), 7.0f), 3.0f);
    EXPECT_FLOAT_EQ(NoiseGrid::SampleCosine(nullptr, 0.5f, 0.5f), 1.0f);
}

TEST(NoiseGridTest, WideGridMapsEveryCellToOneTexelInsideTheTexture) {
    NoiseGrid grid(8, 2);
    for (u32 x = 0; x < 8; ++x)
        for (u32 y = 0; y < 2; ++y) grid.At(x, y) = static_cast<float>(x * 2 + y) / 15.0f;
    const u32 w = NoiseGrid::TextureWidth(grid), h = NoiseGrid::TextureHeight(grid);
    ASSERT_EQ(w * h, 16u);
    std::vector<u8> texels(static_cast<size_t>(w) * h * 4);  // exact size: ASan catches a step outside
    NoiseGrid::FillTexels(grid, D3DXCOLOR(0, 0, 0, 1), D3DXCOLOR(1, 1, 1, 1), texels.data(), w * 4);
    for (u32 x = 0; x < 8; ++x) {
        for (u32 y = 0; y < 2; ++y) {
            const u8* texel = &texels[(static_cast<size_t>(x) * w + y) * 4];
            EXPECT_EQ(texel[0], static_cast<u8>(grid.At(x, y) * 255.0f));
            EXPECT_EQ(texel[3], 255);
        }
    }
}

TEST(NoiseGridTest, TexelChannelsBlendTruncateAndClamp) {
    NoiseGrid grid(2, 2);
    grid.values = {0.5f, 0.0f, 1.0f, 7.0f};
    std::vector<u8> texels(16);
    NoiseGrid::FillTexels(grid, D3DXCOLOR(0, 1, 0, 0), D3DXCOLOR(1, 0, 0.5f, 1), texels.data(), 8);
    // cell (0, 0) = 0.5 at texel row 0, column 0
    EXPECT_EQ(texels[0], 127);
    EXPECT_EQ(texels[1], 127);
    EXPECT_EQ(texels[2], 63);
    // cell (1, 1) = 7.0 (out of range) at row 1, column 1: clamped, no wrap
    EXPECT_EQ(texels[12], 255);
    EXPECT_EQ(texels[13], 0);
}

TEST(NoiseGeneratorTest, DistinctPersistencesAndSizesStayWithinTheCacheBoundsAndTheLatestStaysCached) {
    const std::size_t gridBytes = 64u * 64u * sizeof(float);
    NoiseGenerator::CacheBounds bounds;
    bounds.whiteBytes = 3 * gridBytes;
    bounds.resultBytes = 4 * gridBytes + gridBytes / 2;
    NoiseGenerator generator(bounds);
    NoiseGrid* latest = nullptr;
    for (int i = 0; i < 24; ++i) {
        latest = generator.GetFractalNoise(64, 64, 2, 0.5f + 0.01f * static_cast<float>(i), false);
        ASSERT_NE(latest, nullptr);
        ASSERT_LE(generator.ResultBytes(), bounds.resultBytes) << i;
    }
    EXPECT_EQ(generator.ResultBytes(), 4 * gridBytes);
    EXPECT_EQ(generator.GetFractalNoise(64, 64, 2, 0.5f + 0.01f * 23.0f, false), latest);
    for (int side = 64; side > 48; --side) {
        generator.GetFractalNoise(side, 64, 2, 0.5f, false);
        ASSERT_LE(generator.WhiteBytes(), bounds.whiteBytes) << side;
    }
}

TEST(NoiseGeneratorTest, HundredPersistencesStayWithinTheirMemoryBound) {
    // Every persistence used to keep its own 4 MB grid for the run: 400 MB here.
    constexpr long kBoundKilobytes = 300 * 1024;
    if (!PeakMemoryIsMeaningful()) GTEST_SKIP() << "peak memory is measured in the plain build";
    ChildProcess child = ChildProcess::Fork("/", [] {
        NoiseGenerator generator;
        for (int i = 0; i < 100; ++i)
            generator.GetFractalNoise(1024, 1024, 1, 0.3f + 0.001f * static_cast<float>(i), false);
    });
    const ChildResult result = child.Wait(60);
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(result.status, 0) << result.errorText;
    EXPECT_LT(result.peakKilobytes, kBoundKilobytes);
}
