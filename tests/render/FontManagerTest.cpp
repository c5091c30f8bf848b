#include "render/text/FontManager.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "RenderTestSupport.h"
#include "engine/Logger.h"
#include "render/text/ScreenText.h"
#include "tests/port/ChildProcess.h"

namespace {

class FontManagerTest : public RenderFixture {
protected:
    ScopedEnv noSystemRoot{"SYSTEMROOT", nullptr};
};

}  // namespace

TEST_F(FontManagerTest, FontsFolderFollowsSystemRoot) {
    {
        ScopedEnv root("SYSTEMROOT", "/opt/win");
        FontManager fonts;
        EXPECT_EQ(fonts.GetFontsFolder(), "/opt/win/fonts/");
    }
    FontManager fonts;
    EXPECT_EQ(fonts.GetFontsFolder(), "C:/windows/fonts/");
}

TEST_F(FontManagerTest, LooksInFontsFolderThenAssetFontsThenFallback) {
    TempFolder root, assets;
    root.Copy(kDejaVuSans, "fonts/lucon.ttf");
    assets.Copy(kDejaVuSans, "fonts/lucon.ttf");
    assets.Copy(kDejaVuSans, "fonts/arial.ttf");
    ScopedEnv systemRoot("SYSTEMROOT", root.path().c_str());
    FontManager fonts(assets.path(), kDejaVuMono);
    EXPECT_EQ(fonts.ResolveFontPath("lucon.ttf"), root.path() + "/fonts/lucon.ttf");
    EXPECT_EQ(fonts.ResolveFontPath("arial.ttf"), assets.path() + "/fonts/arial.ttf");
    EXPECT_EQ(fonts.ResolveFontPath("nothere.ttf"), kDejaVuMono);
}

TEST_F(FontManagerTest, BrokenFontFileIsPassedOverForTheFileThatStandsInWithItsRow) {
    TempFolder assets, logs;
    std::filesystem::create_directories(assets.path() + "/fonts");
    std::ofstream(assets.path() + "/fonts/lucon.ttf") << "no TrueType here";
    std::string rows;
    {
        auto logger = std::make_unique<Logger>(logs.path() + "/", ".log");
        FontManager fonts(assets.path(), kDejaVuMono);
        FaceLoader faces;
        FT_Face face = fonts.GetFace("lucon.ttf");
        ASSERT_NE(face, nullptr);
        EXPECT_STREQ(face->family_name, faces.Open(kDejaVuMono)->family_name);
        // Its texts draw, with the stand-in's glyphs.
        std::unique_ptr<ScreenText> text(fonts.CreateText("Score", 5, "lucon.ttf", 12, true));
        ASSERT_TRUE(text);
        EXPECT_FALSE(text->GetAtlas()->Glyphs().empty());
        logger.reset();
        std::ifstream in(logs.path() + "/Application.log");
        rows.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    EXPECT_NE(rows.find(assets.path() + "/fonts/lucon.ttf is no font FreeType reads"), std::string::npos) << rows;
    EXPECT_NE(rows.find(std::string("lucon.ttf from ") + kDejaVuMono), std::string::npos) << rows;
}

TEST_F(FontManagerTest, SameFontAndSizeShareOneAtlasAnotherSizeBuildsAnother) {
    FontManager fonts("", kDejaVuMono);
    FontAtlas* a = fonts.GetAtlas("lucon.ttf", 12);
    EXPECT_EQ(fonts.GetAtlas("lucon.ttf", 12), a);
    FontAtlas* b = fonts.GetAtlas("lucon.ttf", 16);
    EXPECT_NE(b, a);
    EXPECT_EQ(b->GetPixelSize(), 16);
    // One face for both sizes.
    EXPECT_EQ(a->GetFace(), b->GetFace());
    EXPECT_EQ(fonts.GetFace("lucon.ttf"), a->GetFace());
}

TEST_F(FontManagerTest, UnloadableFontGivesEmptyAtlasAndTextsDrawNothing) {
    FontManager fonts("", "/nonexistent/font.ttf");
    EXPECT_EQ(fonts.GetFace("lucon.ttf"), nullptr);
    FontAtlas* atlas = fonts.GetAtlas("lucon.ttf", 12);
    ASSERT_NE(atlas, nullptr);
    EXPECT_TRUE(atlas->Glyphs().empty());
    std::unique_ptr<ScreenText> text(fonts.CreateText("Score", 5, "lucon.ttf", 12, true));
    ASSERT_TRUE(text);
    text->Update(0.0f);
    for (const ModelVertex& v : text->Vertices()) EXPECT_EQ(v.texCoord.x, 0.0f);
}

TEST_F(FontManagerTest, CreateTextRefusesEmptyWhenAskedAndMoreThanEightyCharacters) {
    FontManager fonts("", kDejaVuMono);
    EXPECT_EQ(fonts.CreateText("", 0, "lucon.ttf", 12, true), nullptr);
    EXPECT_EQ(fonts.CreateText(std::string(81, 'x'), 81, "lucon.ttf", 12, false), nullptr);
    std::unique_ptr<ScreenText> empty(fonts.CreateText("", 0, "lucon.ttf", 12, false));
    EXPECT_TRUE(empty);
    std::unique_ptr<ScreenText> full(fonts.CreateText(std::string(80, 'x'), 80, "lucon.ttf", 12, false));
    ASSERT_TRUE(full);
    EXPECT_EQ(full->GetCharacterCount(), 80u);
}

TEST_F(FontManagerTest, CreatedTextCarriesTheRequestedAtlasButDefaultMembers) {
    FontManager fonts("", kDejaVuMono);
    std::unique_ptr<ScreenText> text(fonts.CreateText("Hi", 2, "arial.ttf", 20, true));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->GetAtlas(), fonts.GetAtlas("arial.ttf", 20));
    EXPECT_EQ(text->GetFontName(), "lucon.ttf");
    EXPECT_EQ(text->GetFontSize(), 12);
    EXPECT_FALSE(text->IsDirty());
    EXPECT_EQ(text->GetText(), "Hi");
    // An Update keeps the requested atlas: no font change was asked for.
    text->Update(0.0f);
    EXPECT_EQ(text->GetAtlas(), fonts.GetAtlas("arial.ttf", 20));
}

TEST_F(FontManagerTest, MissingFontNamesShareTheAtlasOfTheFileThatStandsIn) {
    FontManager fonts("", kDejaVuMono);
    FontAtlas* first = fonts.GetAtlas("missing0.ttf", 12);
    ASSERT_FALSE(first->Glyphs().empty());
    for (int i = 1; i < 300; ++i) ASSERT_EQ(fonts.GetAtlas("missing" + std::to_string(i) + ".ttf", 12), first) << i;
    EXPECT_EQ(fonts.AtlasCount(), 1u);
    EXPECT_EQ(fonts.FaceCount(), 1u);
}

TEST_F(FontManagerTest, UnloadableFontsAndRefusedSizesShareOneEmptyAtlas) {
    FontManager fonts("", kDejaVuMono);
    FontManager noFonts("", "/nonexistent/font.ttf");
    FontAtlas* empty = fonts.GetAtlas("lucon.ttf", 0);
    EXPECT_TRUE(empty->Glyphs().empty());
    for (int size : {-3, FontAtlas::kMaxPixelSize + 1, 1 << 30}) EXPECT_EQ(fonts.GetAtlas("lucon.ttf", size), empty);
    EXPECT_EQ(fonts.AtlasCount(), 0u);
    FontAtlas* none = noFonts.GetAtlas("a.ttf", 12);
    EXPECT_TRUE(none->Glyphs().empty());
    EXPECT_EQ(noFonts.GetAtlas("b.ttf", 20), none);
    EXPECT_EQ(noFonts.AtlasCount(), 0u);
}

TEST_F(FontManagerTest, FullCacheDropsUnheldAtlasesButNeverHeldOnes) {
    const int count = 4;
    FontManager fonts("", kDejaVuMono, count);
    for (int size = 1; size <= count + 8; ++size) fonts.GetAtlas("lucon.ttf", size);
    EXPECT_EQ(fonts.AtlasCount(), 4u);

    std::vector<std::shared_ptr<FontAtlas>> held;
    for (int size = 100; size < 100 + count; ++size) held.push_back(fonts.AcquireAtlas("lucon.ttf", size));
    EXPECT_EQ(fonts.AtlasCount(), 4u);
    // Every cached atlas is held: one more is refused, the held ones stay.
    EXPECT_EQ(fonts.GetAtlas("lucon.ttf", 99), fonts.GetAtlas("lucon.ttf", 0));
    for (int i = 0; i < count; ++i) EXPECT_EQ(fonts.GetAtlas("lucon.ttf", 100 + i), held[i].get()) << i;
    held.pop_back();
    const std::shared_ptr<FontAtlas> after = fonts.AcquireAtlas("lucon.ttf", 99);
    EXPECT_EQ(after->GetPixelSize(), 99);
    EXPECT_FALSE(after->Glyphs().empty());
    EXPECT_EQ(fonts.AtlasCount(), 4u);
}

TEST_F(FontManagerTest, ThousandTextsWithDistinctMissingFontsStayWithinTheirMemoryBound) {
    // Each missing name used to get an atlas of its own (1 MB of texels here,
    // more with a device): a thousand of them took over a gigabyte.
    constexpr long kBoundKilobytes = 200 * 1024;
    if (!PeakMemoryIsMeaningful()) GTEST_SKIP() << "peak memory is measured in the plain build";
    ChildProcess child = ChildProcess::Fork("/", [] {
        FontManager fonts("", kDejaVuMono);
        std::vector<std::unique_ptr<ScreenText>> texts;
        for (int i = 0; i < 1000; ++i)
            texts.emplace_back(fonts.CreateText("x", 1, "missing" + std::to_string(i) + ".ttf", 12, true));
    });
    const ChildResult result = child.Wait(60);
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(result.status, 0) << result.errorText;
    EXPECT_LT(result.peakKilobytes, kBoundKilobytes);
}
