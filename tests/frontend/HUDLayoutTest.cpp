// The heads-up display in windows of several sizes, as the player sees it:
// the opaque part of every picture (its shipped texture on its quad) and
// every text lies inside the window, the shield bubble keeps its place around
// the ship as the 3-D view draws it, the texts' letters stay off the health
// and energy arcs, 1024 x 768 and larger keep the full-size layout, and a
// size change during the level keeps bars, icons, countdown and shield.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "port/gpu/GpuImage.h"
#include "render/text/FontAtlas.h"
#include "render/text/FontManager.h"
#include "tests/frontend/HudWorld.h"

namespace {

using H = HUDComponent;

// Pixels from the window centre, y up.
struct Box {
    float left = 1e9f, bottom = 1e9f, right = -1e9f, top = -1e9f;
    void Add(float x, float y) {
        left = std::min(left, x), right = std::max(right, x);
        bottom = std::min(bottom, y), top = std::max(top, y);
    }
};

// A shipped texture, decoded to RGBA8 once.
const GpuImage& TexelsOf(const std::string& texture) {
    static std::map<std::string, GpuImage> images;
    auto [it, added] = images.try_emplace(texture);
    if (added) {
        std::string error;
        const char* assets = std::getenv("DD_ASSET_DIR");
        EXPECT_EQ(it->second.Load(std::string(assets ? assets : ".") + "/texture/" + texture + ".dds", &error),
                  GpuLoadStatus::Ok)
            << error;
        it->second.Decompress();
    }
    return it->second;
}

// Whether texel (x, y) of a decoded texture is opaque enough to be seen.
bool Opaque(const GpuImage& image, std::uint32_t x, std::uint32_t y) {
    return !image.subresources.empty() && image.subresources[0][(y * image.width + x) * 4 + 3] >= 16;
}

// The opaque texels of a shipped texture, as fractions of its size from its
// top-left corner (x across, y down).
Box InkOf(const std::string& texture) {
    const GpuImage& image = TexelsOf(texture);
    Box ink;
    for (std::uint32_t y = 0; y < image.height; ++y)
        for (std::uint32_t x = 0; x < image.width; ++x)
            if (Opaque(image, x, y)) {
                ink.Add(static_cast<float>(x) / image.width, static_cast<float>(y) / image.height);
                ink.Add(static_cast<float>(x + 1) / image.width, static_cast<float>(y + 1) / image.height);
            }
    return ink;
}

// The pictures but the bubble, with their quads' half sizes before scaling
// (a builder's quad keeps no bounds).
struct Quad {
    H::Element element;
    float halfWidth, halfHeight;
};
const Quad kFlatPictures[] = {
    {H::kShieldsIcon, 13, 2},       {H::kWeaponsIcon, 13, 2},      {H::kBoostIcon, 13, 2},
    {H::kCountdownPicture, 75, 50}, {H::kLivesCircle, 1, 1},       {H::kHealthBarBack, 13, 6.8f},
    {H::kHealthBar, 13, 6.8f},      {H::kEnergyBarBack, 13, 6.8f}, {H::kEnergyBar, 13, 6.8f},
};
// The health and energy arcs: the bars and their backs.
const Quad kBars[] = {
    {H::kHealthBarBack, 13, 6.8f}, {H::kHealthBar, 13, 6.8f}, {H::kEnergyBarBack, 13, 6.8f}, {H::kEnergyBar, 13, 6.8f}};

class HUDLayoutTest : public HudWorld {
protected:
    void Start() {
        MakeHud(true);
        announced = ship->GetId();
        Post(kMsgCrawlerAnnounced, 0, carrier->GetId());
        // What a long level can make the texts show.
        player->points = 99999;
        crawler->distance = 99999.0f;
        crawler->currentSpeed = 999.0f;
        Frame(0.25f);
    }
    void Resize(int width, int height) {
        Broadcast(kMsgClientRect, 0, ClientRect{0, 0, width, height});
        Frame(0.25f);
    }

    Box InkBox(const Quad& quad) const {
        const Transform* transform = TransformOf(quad.element);
        const Box ink = InkOf(TextureOf(quad.element));
        const float w = 2 * transform->scale * quad.halfWidth, h = 2 * transform->scale * quad.halfHeight;
        const float left = transform->worldPosition.x - w / 2, top = transform->worldPosition.y + h / 2;
        Box box;
        box.Add(left + ink.left * w, top - ink.bottom * h);
        box.Add(left + ink.right * w, top - ink.top * h);
        return box;
    }
    // The glyphs as the text's font lays them out.
    Box TextBox(H::Text text) const {
        ScreenText* screenText = TextOf(text);
        const D3DXVECTOR3& at = Overlord::FindComponent<Transform>(hud->GetText(text))->worldPosition;
        screenText->Update(0.0f);
        EXPECT_GT(screenText->GetCharacterCount(), 0u);
        Box box;
        for (std::size_t i = 0; i < screenText->GetCharacterCount() * ScreenText::kVerticesPerCharacter; ++i)
            box.Add(at.x + screenText->Vertices()[i].position.x, at.y + screenText->Vertices()[i].position.y);
        return box;
    }
    // The screen pixels the text's letters cover (their glyphs' seen
    // coverage in the font atlas), each by its top-left corner.
    std::vector<D3DXVECTOR2> LetterPixels(H::Text text) const {
        ScreenText* screenText = TextOf(text);
        const D3DXVECTOR3& at = Overlord::FindComponent<Transform>(hud->GetText(text))->worldPosition;
        screenText->Update(0.0f);
        const std::vector<u8>& atlas = screenText->GetAtlas()->Texels();
        std::vector<D3DXVECTOR2> pixels;
        for (std::size_t c = 0; c < screenText->GetCharacterCount(); ++c) {
            // Vertex 2 is the glyph's top-left corner, vertex 0 its bottom-right.
            const ModelVertex* v = &screenText->Vertices()[c * ScreenText::kVerticesPerCharacter];
            const int x0 = std::lround(v[2].texCoord.x * FontAtlas::kSize),
                      y0 = std::lround(v[2].texCoord.y * FontAtlas::kSize);
            const int x1 = std::lround(v[0].texCoord.x * FontAtlas::kSize),
                      y1 = std::lround(v[0].texCoord.y * FontAtlas::kSize);
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x)
                    if (atlas[(y * FontAtlas::kSize + x) * 4 + 3] >= 16)
                        pixels.push_back({at.x + v[2].position.x + (x - x0), at.y + v[2].position.y - (y - y0)});
        }
        EXPECT_FALSE(pixels.empty());
        return pixels;
    }
    // How many of the text's letter pixels lie on an opaque texel of the
    // health or energy arc (the bars and their backs, as shown).
    int LetterPixelsOnArcs(H::Text text) const {
        int on = 0;
        for (const D3DXVECTOR2& pixel : LetterPixels(text))
            for (const Quad& quad : kBars) {
                const Transform* transform = TransformOf(quad.element);
                const GpuImage& image = TexelsOf(TextureOf(quad.element));
                const float w = 2 * transform->scale * quad.halfWidth, h = 2 * transform->scale * quad.halfHeight;
                const float left = transform->worldPosition.x - w / 2, top = transform->worldPosition.y + h / 2;
                // The texels under the pixel [x, x + 1) x (y - 1, y].
                const int x0 = std::max(0, int(std::floor((pixel.x - left) / w * image.width)));
                const int x1 = std::min(int(image.width), int(std::ceil((pixel.x + 1 - left) / w * image.width)));
                const int y0 = std::max(0, int(std::floor((top - pixel.y) / h * image.height)));
                const int y1 = std::min(int(image.height), int(std::ceil((top - pixel.y + 1) / h * image.height)));
                bool covered = false;
                for (int y = y0; y < y1; ++y)
                    for (int x = x0; x < x1; ++x) covered = covered || Opaque(image, x, y);
                on += covered;
            }
        return on;
    }
    static void ExpectInside(const Box& box, int width, int height) {
        EXPECT_TRUE(box.left >= -width / 2.0f && box.right <= width / 2.0f && box.bottom >= -height / 2.0f &&
                    box.top <= height / 2.0f)
            << box.left << " " << box.bottom << " " << box.right << " " << box.top;
    }
    void ExpectAllInside(int width, int height) const {
        for (const Quad& quad : kFlatPictures) {
            SCOPED_TRACE(TextureOf(quad.element));
            ExpectInside(InkBox(quad), width, height);
        }
        for (u32 t = 0; t < H::kTextCount; ++t) ExpectInside(TextBox(static_cast<H::Text>(t)), width, height);
    }
    // Places and scales of every picture and text.
    std::vector<float> Layout() const {
        std::vector<u32> ids;
        for (u32 e = 0; e < H::kElementCount; ++e) ids.push_back(Element(static_cast<H::Element>(e)));
        for (u32 t = 0; t < H::kTextCount; ++t) ids.push_back(hud->GetText(static_cast<H::Text>(t)));
        std::vector<float> values;
        for (u32 id : ids)
            if (const Transform* t = Overlord::FindComponent<Transform>(id))
                values.insert(values.end(), {t->worldPosition.x, t->worldPosition.y, t->worldPosition.z, t->scale});
        return values;
    }
    // Height above the centre at which the 3-D view draws a point below its
    // axis (as the chased ship is).
    static float ShipY(int width, int height) {
        D3DXMATRIX projection;
        D3DXMatrixPerspectiveFovLH(&projection, GraphicsSystem::kFieldOfView,
                                   static_cast<float>(width) / static_cast<float>(height), 1.0f, 1000.0f);
        D3DXVECTOR4 clip;
        const D3DXVECTOR3 ship(0.0f, -1.0f, 8.0f);
        D3DXVec3Transform(&clip, &ship, &projection);
        return clip.y / clip.w * height / 2.0f;
    }

    FontManager fonts{"", FontManager::kFallbackFont};
};

TEST_F(HUDLayoutTest, EveryPictureAndTextFitsTheWindowAndTheBubbleFollowsTheShip) {
    struct Row {
        int width, height;
        bool fullSize;    // at least 1024 x 768: the layout as it was made
        bool shipScaled;  // no taller than 768: the bubble shrinks as the view's ship does
    } const rows[] = {{800, 600, false, true},   {1024, 768, true, true},  {1280, 720, false, true},
                      {1920, 1080, true, false}, {640, 900, false, false}, {700, 700, false, true}};
    Start();
    player->shielding = true;
    Frame(0.25f);
    const std::vector<float> fullSize = Layout();
    const float bubbleY = TransformOf(H::kShieldBubble)->worldPosition.y;
    const float bubbleScale = TransformOf(H::kShieldBubble)->scale;
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.width) + " x " + std::to_string(row.height));
        Resize(row.width, row.height);
        ExpectAllInside(row.width, row.height);
        for (u32 t = 0; t < H::kTextCount; ++t)
            EXPECT_EQ(TextOf(static_cast<H::Text>(t))->GetAtlas(), fonts.GetAtlas(H::kFont, H::kFontSize));
        if (row.fullSize) {
            EXPECT_EQ(Layout(), fullSize);
        }
        if (!row.shipScaled) continue;
        const Transform* bubble = TransformOf(H::kShieldBubble);
        const float ship = ShipY(row.width, row.height) / ShipY(1024, 768);
        EXPECT_FLOAT_EQ(bubble->worldPosition.y, bubbleY * ship);
        EXPECT_FLOAT_EQ(bubble->scale, bubbleScale * ship);
    }
}

// Every window size the options screen offers, and the one the game starts
// in: the read-outs' 16-pixel letters stand clear of the arcs beside them.
TEST_F(HUDLayoutTest, ReadOutsStandClearOfTheArcsAtEveryOfferedSize) {
    const int sizes[][2] = {{800, 600}, {1024, 768}, {1280, 720}, {1600, 900}, {1920, 1080}};
    Start();
    for (const auto& size : sizes) {
        SCOPED_TRACE(std::to_string(size[0]) + " x " + std::to_string(size[1]));
        Resize(size[0], size[1]);
        for (u32 t = 0; t < H::kTextCount; ++t) {
            const Box box = TextBox(static_cast<H::Text>(t));
            EXPECT_EQ(LetterPixelsOnArcs(static_cast<H::Text>(t)), 0)
                << "text " << t << " at " << box.left << ", " << box.bottom;
        }
    }
}

TEST_F(HUDLayoutTest, SizeChangeDuringTheLevelKeepsBarsIconsCountdownAndShield) {
    Start();
    Broadcast(kMsgLevelStart, 0);
    health->currentHP = 50;
    player->energy = 25.0f;
    player->shielding = true;
    Frames(19, 0.25f);  // 4.75 s after the start: "Countdown_2"
    const auto state = [&] {
        return std::vector<std::string>{TextureOf(H::kCountdownPicture), TextureOf(H::kHealthBar),
                                        TextureOf(H::kEnergyBar), TextureOf(H::kShieldsIcon),
                                        std::to_string(hud->GetCountdownClock())};
    };
    const std::vector<std::string> before = state();
    ASSERT_EQ(before[0], "Countdown_2");
    const std::vector<u32> drawnBefore = drawn;
    const u64 retextures = hud->GetRetextureCount();

    Broadcast(kMsgClientRect, 0, ClientRect{0, 0, 800, 600});
    EXPECT_EQ(state(), before);
    EXPECT_EQ(hud->GetRetextureCount(), retextures) << "nothing made or textured anew";
    EXPECT_LT(TransformOf(H::kShieldBubble)->worldPosition.z, 2000.0f) << "the shield stays shown";
    ExpectAllInside(800, 600);
    Frame(0.25f);
    EXPECT_EQ(drawn, drawnBefore);

    // A minimised window keeps the layout; the countdown goes on to "go".
    const std::vector<float> small = Layout();
    Resize(0, 0);
    EXPECT_EQ(Layout(), small);
    Frames(7, 0.25f);
    EXPECT_EQ(TextureOf(H::kCountdownPicture), "Countdown_go");
    EXPECT_EQ(Gos(), 1u);
}

}  // namespace
