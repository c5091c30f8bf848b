#include "render/text/FontAtlas.h"

#include <gtest/gtest.h>

#include "FontTestSupport.h"

namespace {

bool Overlap(const FontGlyph& a, const FontGlyph& b) {
    return a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1;
}

// Every glyph lies inside the texture, no two glyphs share a texel, and no
// texel outside the glyph rectangles has coverage.
void ExpectSoundPacking(const FontAtlas& atlas) {
    std::vector<bool> covered(FontAtlas::kSize * FontAtlas::kSize, false);
    for (const auto& [code, g] : atlas.Glyphs()) {
        EXPECT_GE(g.x0, 0) << code;
        EXPECT_GE(g.y0, 0) << code;
        EXPECT_LE(g.x1, FontAtlas::kSize) << code;
        EXPECT_LE(g.y1, FontAtlas::kSize) << code;
        for (const auto& [other, h] : atlas.Glyphs()) {
            if (other != code) {
                EXPECT_FALSE(Overlap(g, h)) << code << " overlaps " << other;
            }
        }
        for (int y = std::max(0, g.y0); y < std::min(g.y1, FontAtlas::kSize); ++y)
            for (int x = std::max(0, g.x0); x < std::min(g.x1, FontAtlas::kSize); ++x)
                covered[y * FontAtlas::kSize + x] = true;
    }
    ASSERT_EQ(atlas.Texels().size(), std::size_t(FontAtlas::kSize) * FontAtlas::kSize * 4);
    int stray = 0;
    for (int i = 0; i < FontAtlas::kSize * FontAtlas::kSize; ++i)
        if (!covered[i] && atlas.Texels()[i * 4 + 3] != 0) ++stray;
    EXPECT_EQ(stray, 0);
}

}  // namespace

TEST(FontAtlasTest, PrintableAsciiEachGetsAGlyphInsideTheTexture) {
    FaceLoader faces;
    FT_Face face = faces.Open(kDejaVuMono);
    ASSERT_TRUE(face);
    FontAtlas atlas(face, 12);
    EXPECT_TRUE(atlas.IsComplete());
    EXPECT_EQ(atlas.Glyphs().size(), 95u);
    EXPECT_EQ(atlas.GetWidth(), 512.0f);
    EXPECT_EQ(atlas.GetHeight(), 512.0f);
    EXPECT_EQ(atlas.GetPixelSize(), 12);
    ExpectSoundPacking(atlas);

    const FontGlyph* first = atlas.Find('!');
    ASSERT_TRUE(first);
    EXPECT_EQ(first->code, '!');
    const FontGlyph* space = atlas.Find(' ');
    ASSERT_TRUE(space);
    EXPECT_EQ(space->x0, space->x1);
    EXPECT_GT(space->advance, 0.0f);
    // The pen starts at (1, 1): the first character sits there.
    EXPECT_EQ(space->x0, 1);
    EXPECT_EQ(space->y0, 1);
}

TEST(FontAtlasTest, CharactersOutsidePrintableAsciiHaveNoGlyph) {
    FaceLoader faces;
    FontAtlas atlas(faces.Open(kDejaVuMono), 12);
    EXPECT_EQ(atlas.Find('\t'), nullptr);
    EXPECT_EQ(atlas.Find(31), nullptr);
    EXPECT_EQ(atlas.Find(127), nullptr);
    EXPECT_EQ(atlas.Find(static_cast<char>(0xE9)), nullptr);
    EXPECT_NE(atlas.Find('~'), nullptr);
}

TEST(FontAtlasTest, GlyphCoverageLandsInItsRectangle) {
    FaceLoader faces;
    FontAtlas atlas(faces.Open(kDejaVuMono), 24);
    const FontGlyph* a = atlas.Find('A');
    ASSERT_TRUE(a);
    ASSERT_GT(a->x1, a->x0);
    int inked = 0;
    for (int y = a->y0; y < a->y1; ++y)
        for (int x = a->x0; x < a->x1; ++x) {
            const u8* texel = &atlas.Texels()[(std::size_t(y) * FontAtlas::kSize + x) * 4];
            EXPECT_EQ(texel[0] | texel[1] | texel[2], 0);
            inked += texel[3] > 128;
        }
    EXPECT_GT(inked, 10);
}

// Glyphs too large for the texture are left out; nothing is written beyond it
// (the texel vector is exactly 512x512x4, so ASan catches a stray write).
TEST(FontAtlasTest, LargeGlyphsNeverWriteOutsideTheTexture) {
    FaceLoader faces;
    FT_Face face = faces.Open(kDejaVuSans);
    ASSERT_TRUE(face);
    for (int size : {72, 96, 150, 300, 700}) {
        SCOPED_TRACE(size);
        FontAtlas atlas(face, size);
        ExpectSoundPacking(atlas);
        EXPECT_FALSE(atlas.IsComplete());
        EXPECT_LT(atlas.Glyphs().size(), 95u);
    }
}

TEST(FontAtlasTest, SizeThatJustFillsTheTextureKeepsEveryRowInside) {
    FaceLoader faces;
    FT_Face face = faces.Open(kDejaVuMono);
    // Walk up the sizes across the point where the last row stops fitting.
    for (int size = 30; size <= 46; ++size) {
        SCOPED_TRACE(size);
        FontAtlas atlas(face, size);
        ExpectSoundPacking(atlas);
    }
}

// A size from a data file far beyond the texture is refused before any glyph
// is rendered (rendering them took seconds and hundreds of megabytes).
TEST(FontAtlasTest, SizeFarBeyondTheTextureGivesAnEmptyAtlas) {
    FaceLoader faces;
    FT_Face face = faces.Open(kDejaVuSans);
    ASSERT_TRUE(face);
    FontAtlas refused(face, 20000);
    EXPECT_TRUE(refused.Glyphs().empty());
    FontAtlas largest(face, FontAtlas::kMaxPixelSize);
    EXPECT_NE(largest.Find(' '), nullptr);
    ExpectSoundPacking(largest);
}

TEST(FontAtlasTest, MissingFaceGivesAnEmptyAtlas) {
    FontAtlas atlas(nullptr, 12);
    EXPECT_TRUE(atlas.Glyphs().empty());
    EXPECT_EQ(atlas.Find('A'), nullptr);
    EXPECT_FALSE(atlas.HasKerning());
    EXPECT_EQ(atlas.Texels().size(), std::size_t(FontAtlas::kSize) * FontAtlas::kSize * 4);
}

TEST(FontAtlasTest, KerningPairPullsCloserOnlyInAKerningFont) {
    FaceLoader faces;
    FontAtlas sans(faces.Open(kDejaVuSans), 40);
    ASSERT_TRUE(sans.HasKerning());
    EXPECT_LT(sans.Kerning(*sans.Find('A'), *sans.Find('V')), 0.0f);
    EXPECT_EQ(sans.Kerning(*sans.Find('H'), *sans.Find('H')), 0.0f);

    FontAtlas mono(faces.Open(kDejaVuMono), 40);
    EXPECT_FALSE(mono.HasKerning());
    EXPECT_EQ(mono.Kerning(*mono.Find('A'), *mono.Find('V')), 0.0f);
}

// Two atlases of one face: each measures kerning at its own size, whichever
// was built last.
TEST(FontAtlasTest, KerningIsMeasuredAtTheAtlasSize) {
    FaceLoader faces;
    FT_Face face = faces.Open(kDejaVuSans);
    FontAtlas small(face, 20);
    FontAtlas large(face, 40);
    const float smallKern = small.Kerning(*small.Find('A'), *small.Find('V'));
    const float largeKern = large.Kerning(*large.Find('A'), *large.Find('V'));
    EXPECT_EQ(smallKern, -2.0f);
    EXPECT_EQ(largeKern, -3.0f);
    EXPECT_EQ(small.Kerning(*small.Find('A'), *small.Find('V')), smallKern);
}
