#include "render/FontManager.h"

#include <gtest/gtest.h>

#include <memory>

#include "FontTestSupport.h"
#include "RenderTestSupport.h"
#include "render/ScreenText.h"

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
