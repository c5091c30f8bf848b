#include "render/text/ScreenText.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstring>
#include <memory>

#include "FontTestSupport.h"
#include "RenderTestSupport.h"
#include "ValueTextSupport.h"
#include "engine/Engine.h"
#include "engine/Transform.h"
#include "reflection/MetaRegistry.h"
#include "reflection/ValueTypes.h"
#include "render/text/FontAtlas.h"
#include "render/text/FontManager.h"
#include "scene/ObjectFactory.h"

class GraphicsSystem;

namespace {

// Stands in for the renderer: takes GraphicsSystem's type id and records
// what it is sent.
class RendererProbe : public ISystem {
public:
    RendererProbe() : ISystem(TypeId<GraphicsSystem>::Get()) {}
    void HandleMessage(Message* m) override {
        const u32* id = m->Read(Kind<u32>{m->type, m->argument});
        seen.push_back({m->type, m->argument, id ? *id : 0u});
    }
    std::vector<std::array<u32, 3>> seen;
};

class ScreenTextTest : public RenderFixture {
protected:
    ScopedEnv noSystemRoot{"SYSTEMROOT", nullptr};
    FaceLoader faces;

    // The left edge of character slot i (its second vertex).
    static float Left(const ScreenText& text, std::size_t i) { return text.Vertices()[i * 6 + 1].position.x; }
    static bool SlotIsZero(const ScreenText& text, std::size_t i) {
        for (std::size_t k = 0; k < 6; ++k) {
            const ModelVertex& v = text.Vertices()[i * 6 + k];
            if (v.position.x || v.position.y || v.position.z || v.normal.x || v.normal.y || v.normal.z ||
                v.texCoord.x || v.texCoord.y)
                return false;
        }
        return true;
    }
    static std::unique_ptr<ScreenText> Built(FontAtlas* atlas, const std::string& s) {
        auto text = std::make_unique<ScreenText>(Borrowed(atlas));
        text->SetText(s);
        text->Update(0.0f);
        return text;
    }
};

}  // namespace

TEST_F(ScreenTextTest, CharacterQuadFollowsGlyphMetricsAndColour) {
    FontAtlas atlas(faces.Open(kDejaVuMono), 24);
    ScreenText text(Borrowed(&atlas));
    text.SetFontColor(D3DXCOLOR(0.25f, 0.5f, 0.75f, 1.0f));
    text.SetText("A");
    text.Update(0.0f);
    const FontGlyph& g = *atlas.Find('A');
    const float left = g.bitmapLeft, right = left + g.width, top = g.bearingY, bottom = top - g.height;
    const float u0 = g.x0 / 512.0f, u1 = g.x1 / 512.0f, v0 = g.y0 / 512.0f, v1 = g.y1 / 512.0f;
    const float expected[6][4] = {{right, bottom, u1, v1}, {left, bottom, u0, v1}, {left, top, u0, v0},
                                  {left, top, u0, v0},     {right, top, u1, v0},   {right, bottom, u1, v1}};
    for (int k = 0; k < 6; ++k) {
        const ModelVertex& v = text.Vertices()[k];
        EXPECT_FLOAT_EQ(v.position.x, expected[k][0]) << k;
        EXPECT_FLOAT_EQ(v.position.y, expected[k][1]) << k;
        EXPECT_EQ(v.position.z, 0.0f);
        EXPECT_FLOAT_EQ(v.texCoord.x, expected[k][2]) << k;
        EXPECT_FLOAT_EQ(v.texCoord.y, expected[k][3]) << k;
        ExpectVecNear(v.normal, D3DXVECTOR3(0.25f, 0.5f, 0.75f));
    }
    EXPECT_EQ(text.GetCharacterCount(), 1u);
    EXPECT_FALSE(text.IsDirty());
}

TEST_F(ScreenTextTest, KernedPairSitsCloserThanTheAdvances) {
    FontAtlas atlas(faces.Open(kDejaVuSans), 40);
    auto av = Built(&atlas, "AV");
    const FontGlyph& a = *atlas.Find('A');
    const FontGlyph& v = *atlas.Find('V');
    const float unkerned = a.advance + v.bitmapLeft;
    EXPECT_FLOAT_EQ(Left(*av, 1), unkerned + atlas.Kerning(a, v));
    EXPECT_LT(Left(*av, 1), unkerned);
}

TEST_F(ScreenTextTest, FontWithoutKerningPlacesPairByAdvances) {
    FontAtlas atlas(faces.Open(kDejaVuMono), 40);
    auto av = Built(&atlas, "AV");
    EXPECT_FLOAT_EQ(Left(*av, 1), atlas.Find('A')->advance + atlas.Find('V')->bitmapLeft);
}

// The face is shared by every size; a text of the small size laid out after
// the large atlas was built still kerns at its own size.
TEST_F(ScreenTextTest, KerningUsesTheTextsOwnSizeAfterAnotherSizeWasBuilt) {
    FT_Face face = faces.Open(kDejaVuSans);
    FontAtlas small(face, 20);
    FontAtlas large(face, 80);
    auto av = Built(&small, "AV");
    EXPECT_FLOAT_EQ(Left(*av, 1), small.Find('A')->advance + small.Find('V')->bitmapLeft - 2.0f);
}

TEST_F(ScreenTextTest, SpaceAdvancesThePen) {
    FontAtlas atlas(faces.Open(kDejaVuMono), 20);
    auto text = Built(&atlas, "A A");
    const float advance = atlas.Find('A')->advance;
    EXPECT_FLOAT_EQ(Left(*text, 2), advance + atlas.Find(' ')->advance + atlas.Find('A')->bitmapLeft);
    EXPECT_EQ(text->GetCharacterCount(), 3u);
}

TEST_F(ScreenTextTest, GlyphlessCharactersAfterALongerTextLeaveNoStaleQuads) {
    FontAtlas atlas(faces.Open(kDejaVuMono), 20);
    auto text = Built(&atlas, "WWWWWW");
    ASSERT_FALSE(SlotIsZero(*text, 1));
    text->SetText("A\t\x01\xE9Z");
    text->Update(0.0f);
    EXPECT_FALSE(SlotIsZero(*text, 0));
    EXPECT_TRUE(SlotIsZero(*text, 1));
    EXPECT_TRUE(SlotIsZero(*text, 2));
    EXPECT_TRUE(SlotIsZero(*text, 3));
    // A glyph-less character does not move the pen.
    EXPECT_FLOAT_EQ(Left(*text, 4), atlas.Find('A')->advance + atlas.Find('Z')->bitmapLeft);
    EXPECT_EQ(text->GetCharacterCount(), 5u);
}

TEST_F(ScreenTextTest, TextLongerThanEightyCharactersIsClipped) {
    FontAtlas atlas(faces.Open(kDejaVuMono), 10);
    auto text = Built(&atlas, std::string(200, 'M'));
    EXPECT_EQ(text->GetCharacterCount(), ScreenText::kMaxCharacters);
    EXPECT_FALSE(SlotIsZero(*text, 79));
    EXPECT_EQ(text->GetText().size(), 200u);
}

TEST_F(ScreenTextTest, LockedTextKeepsItsTextAndVertices) {
    FontAtlas atlas(faces.Open(kDejaVuMono), 20);
    auto text = Built(&atlas, "AB");
    const auto before = text->Vertices();
    text->SetLocked(true);
    text->SetText("XYZ");
    text->Update(0.0f);
    EXPECT_EQ(text->GetText(), "AB");
    EXPECT_EQ(text->GetCharacterCount(), 2u);
    EXPECT_EQ(0, std::memcmp(before.data(), text->Vertices().data(), sizeof(ModelVertex) * before.size()));
}

// The quads of a locked text are cut from its atlas: a font change waits
// for the unlock, so the texture drawn always matches them.
TEST_F(ScreenTextTest, FontChangeWaitsWhileTheTextIsLocked) {
    FontManager fonts("", kDejaVuMono);
    std::unique_ptr<ScreenText> text(fonts.CreateText("AB", 2, "lucon.ttf", 12, true));
    FontAtlas* before = text->GetAtlas();
    text->SetLocked(true);
    text->SetFontSize(30);
    text->Update(0.0f);
    EXPECT_EQ(text->GetAtlas(), before);
    text->SetLocked(false);
    text->Update(0.0f);
    EXPECT_EQ(text->GetAtlas(), fonts.GetAtlas("lucon.ttf", 30));
    EXPECT_FLOAT_EQ(text->Vertices()[1].texCoord.x, text->GetAtlas()->Find('A')->x0 / 512.0f);
}

TEST_F(ScreenTextTest, FontNameChangeTakesEffectAtNextUpdate) {
    TempFolder assets;
    assets.Copy(kDejaVuSans, "fonts/wide.ttf");
    FontManager fonts(assets.path(), kDejaVuMono);
    std::unique_ptr<ScreenText> text(fonts.CreateText("AV", 2, "lucon.ttf", 12, true));
    ASSERT_TRUE(text);
    FontAtlas* before = text->GetAtlas();
    text->SetFontName("wide.ttf");
    EXPECT_EQ(text->GetAtlas(), before);
    text->Update(0.0f);
    FontAtlas* after = fonts.GetAtlas("wide.ttf", 12);
    EXPECT_EQ(text->GetAtlas(), after);
    EXPECT_FLOAT_EQ(Left(*text, 0), after->Find('A')->bitmapLeft);
    EXPECT_EQ(text->Vertices()[1].texCoord.x, after->Find('A')->x0 / 512.0f);
}

// A text whose font came from a scene file (members set, no setter) or a
// fresh clone of the prototype has no atlas: Init looks it up.
TEST_F(ScreenTextTest, TextWithoutAtlasLooksItUpInsteadOfCrashing) {
    FontManager fonts("", kDejaVuMono);
    ScreenText prototype;
    std::unique_ptr<ScreenText> text(static_cast<ScreenText*>(prototype.Clone()));
    text->SetText("Hi");
    text->Init();
    ASSERT_NE(text->GetAtlas(), nullptr);
    EXPECT_EQ(text->GetAtlas(), fonts.GetAtlas("lucon.ttf", 12));
    EXPECT_FALSE(SlotIsZero(*text, 0));
}

TEST_F(ScreenTextTest, TextWithoutFontServiceDrawsNothingAndSurvives) {
    ScreenText text;
    text.SetText("Hi");
    text.Init();
    text.Update(0.0f);
    EXPECT_EQ(text.GetAtlas(), nullptr);
    EXPECT_TRUE(SlotIsZero(text, 0));
    EXPECT_TRUE(SlotIsZero(text, 1));
}

TEST_F(ScreenTextTest, CloneCopiesTextVerticesAndFontWithANewId) {
    FontAtlas atlas(faces.Open(kDejaVuMono), 20);
    auto text = Built(&atlas, "Clone");
    text->SetFontName("other.ttf");
    std::unique_ptr<ScreenText> copy(static_cast<ScreenText*>(text->Clone()));
    EXPECT_NE(copy->GetId(), text->GetId());
    EXPECT_EQ(copy->GetTypeId(), TypeId<ScreenText>::Get());
    EXPECT_EQ(copy->GetText(), "Clone");
    EXPECT_EQ(copy->GetFontName(), "other.ttf");
    EXPECT_EQ(copy->GetAtlas(), &atlas);
    EXPECT_EQ(copy->GetCharacterCount(), 5u);
    EXPECT_EQ(0, std::memcmp(copy->Vertices().data(), text->Vertices().data(), sizeof(ModelVertex) * 30));
    EXPECT_EQ(copy->GetVertexBuffer(), nullptr);
}

TEST_F(ScreenTextTest, SetObjectScreenTextReachesTheObjectsTextUnlessLocked) {
    FontAtlas atlas(faces.Open(kDejaVuMono), 12);
    auto* object = new GameObject;
    auto* text = new ScreenText(Borrowed(&atlas));
    object->AddComponent(text);
    SetObjectScreenText(object, "Lives 3");
    EXPECT_EQ(text->GetText(), "Lives 3");
    EXPECT_TRUE(text->IsDirty());
    text->SetLocked(true);
    SetObjectScreenText(object, "Lives 2");
    EXPECT_EQ(text->GetText(), "Lives 3");
    SetObjectScreenText(nullptr, "ignored");
}

TEST_F(ScreenTextTest, SubmitAsksTheRendererToDrawTheObjectsTextThisFrame) {
    Engine engine;
    auto* renderer = new RendererProbe;
    engine.AddSystem(renderer);
    FontAtlas atlas(faces.Open(kDejaVuMono), 12);
    auto* object = new GameObject;
    object->AddComponent(new ScreenText(Borrowed(&atlas)));
    SetObjectScreenTextAndSubmit(object, "Paused");
    EXPECT_EQ(object->GetComponent<ScreenText>()->GetText(), "Paused");
    ASSERT_EQ(renderer->seen.size(), 1u);
    EXPECT_EQ(renderer->seen[0][0], 10u);
    EXPECT_EQ(renderer->seen[0][1], TypeId<ScreenText>::Get());
    EXPECT_EQ(renderer->seen[0][2], object->GetId());
}

TEST_F(ScreenTextTest, TextObjectClonesPrototypesAndPlacesTheTransform) {
    ObjectFactory factory;
    auto* prototype = new ScreenText;
    prototype->SetFontColor(D3DXCOLOR(0, 0, 1, 1));
    factory.RegisterComponentPrototype("ScreenText", prototype);
    factory.RegisterComponentPrototype("Transform", new Transform);
    GameObject* object = CreateTextObject(5, -7, 1, "arial.ttf", 22);
    auto* transform = object->GetComponent<Transform>();
    auto* text = object->GetComponent<ScreenText>();
    ASSERT_TRUE(transform && text);
    EXPECT_NE(text, prototype);
    ExpectVecNear(transform->position, D3DXVECTOR3(5, -7, 1));
    EXPECT_EQ(text->GetFontName(), "arial.ttf");
    EXPECT_EQ(text->GetFontSize(), 22);
    EXPECT_EQ(text->GetFontColor(), D3DXCOLOR(0, 0, 1, 1));
    EXPECT_EQ(object->GetComponents()[0], transform);
}

// The editor's status lines: made without an atlas, they find theirs when
// initialised and draw from their first rebuild.
TEST_F(ScreenTextTest, DebugTextObjectGetsItsAtlasAndDrawsWithoutCrashing) {
    FontManager fonts("", kDejaVuMono);
    GameObject* object = CreateDebugTextObject(10, 20, 0);
    auto* text = object->GetComponent<ScreenText>();
    ASSERT_TRUE(text);
    EXPECT_EQ(text->GetFontName(), "lucon.ttf");
    EXPECT_EQ(text->GetFontSize(), 10);
    object->Init();
    EXPECT_EQ(text->GetAtlas(), fonts.GetAtlas("lucon.ttf", 10));
    SetObjectScreenText(object, "Selected: 12");
    text->Update(0.0f);
    EXPECT_EQ(text->GetCharacterCount(), 12u);
    EXPECT_FALSE(SlotIsZero(*text, 0));
}

// Under the default camera the view is the identity, whose z translation (0)
// lies before the screen projection's near plane: the text's depth is moved
// inside the range so the text is drawn.
TEST_F(ScreenTextTest, ScreenSpaceTextStaysInsideTheScreenDepthRange) {
    D3DXMATRIX projection;
    D3DXMatrixOrthoLH(&projection, 320.0f, 240.0f, 1.0f, 2000.0f);
    for (float viewZ : {0.0f, -50.0f, 1.0f, 10.0f, 2000.0f, 1e6f}) {
        SCOPED_TRACE(viewZ);
        const D3DXVECTOR3 point(100.0f, 50.0f, ScreenText::ScreenSpaceDepth(viewZ));
        D3DXVECTOR4 clip;
        D3DXVec3Transform(&clip, &point, &projection);
        EXPECT_GT(clip.z / clip.w, 0.0f);
        EXPECT_LT(clip.z / clip.w, 1.0f);
    }
    // A view depth already inside the range is kept.
    EXPECT_EQ(ScreenText::ScreenSpaceDepth(10.0f), 10.0f);
}

// A text read from a scene file has its font in its members only: its first
// Init finds the atlas of those members.
TEST_F(ScreenTextTest, TextReadFromSceneTextFindsItsFontAtInit) {
    MetaRegistry registry;
    ValueTypes::Register(registry);
    ScreenText prototype;
    registry.Register<ScreenText>("ScreenText");
    TempFolder assets;
    assets.Copy(kDejaVuSans, "fonts/arial.ttf");
    FontManager fonts(assets.path(), kDejaVuMono);
    std::unique_ptr<ScreenText> text(static_cast<ScreenText*>(prototype.Clone()));
    ASSERT_TRUE(ReadText("{fontName = \"arial.ttf\", fontSize = 18, text = \"AV\", }", *text));
    text->Init();
    EXPECT_EQ(text->GetAtlas(), fonts.GetAtlas("arial.ttf", 18));
    EXPECT_TRUE(text->GetAtlas()->HasKerning());
    EXPECT_FALSE(SlotIsZero(*text, 1));
}

TEST(IntToTextTest, DecimalTextOfIntegers) {
    EXPECT_EQ(IntToText(0), "0");
    EXPECT_EQ(IntToText(7), "7");
    EXPECT_EQ(IntToText(-42), "-42");
    EXPECT_EQ(IntToText(1000000), "1000000");
    EXPECT_EQ(IntToText(INT_MAX), "2147483647");
    EXPECT_EQ(IntToText(INT_MIN), "-2147483648");
}
