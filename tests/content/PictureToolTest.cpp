// The picture tool's parts: shapes' coverage and anti-aliasing, the blur,
// paints, text through FreeType, compositing, the description reader's
// checks, and the DDS files read back by the game's reader.
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "port/gpu/DdsReader.h"
#include "port/gpu/GpuImage.h"
#include "tools/picturetool/DescriptionReader.h"
#include "tools/picturetool/PictureFiles.h"
#include "tools/picturetool/Raster.h"

namespace {
constexpr const char* kFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

float At(const std::vector<float>& mask, int width, int x, int y) {
    return mask[static_cast<size_t>(y) * width + x];
}

std::vector<Picture> Describe(const std::string& source, std::string* error) {
    TextRaster text;
    DescriptionReader reader(text);
    std::vector<Picture> pictures;
    if (!reader.ReadText("test.lua", source, &pictures, error)) pictures.clear();
    return pictures;
}

Image Draw(const std::string& source) {
    std::string error;
    const std::vector<Picture> pictures = Describe(source, &error);
    EXPECT_EQ(pictures.size(), 1u) << error;
    Image image;
    Raster raster;
    if (!pictures.empty()) {
        EXPECT_TRUE(raster.Draw(pictures[0], &image, &error)) << error;
    }
    return image;
}

TEST(PictureToolTest, ARectOnPixelEdgesCoversExactlyItsPixels) {
    Raster raster;
    Shape rect;
    rect.kind = Shape::Kind::Rect;
    rect.x = 2, rect.y = 3, rect.w = 4, rect.h = 2;
    std::vector<float> mask;
    std::string error;
    ASSERT_TRUE(raster.Coverage(rect, 8, 8, &mask, &error));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(At(mask, 8, x, y), (x >= 2 && x < 6 && y >= 3 && y < 5) ? 1.0f : 0.0f) << x << ", " << y;
}

TEST(PictureToolTest, AnEllipseEdgeIsAntiAliasedAndItsCentreFull) {
    Raster raster;
    Shape disc;
    disc.kind = Shape::Kind::Ellipse;
    disc.x = disc.y = 16, disc.w = disc.h = 10;
    std::vector<float> mask;
    std::string error;
    ASSERT_TRUE(raster.Coverage(disc, 32, 32, &mask, &error));
    EXPECT_EQ(At(mask, 32, 16, 16), 1.0f);
    EXPECT_EQ(At(mask, 32, 0, 0), 0.0f);
    const float edge = At(mask, 32, 25, 16);  // centre 25.5: half a pixel inside the rim at 26
    EXPECT_GT(edge, 0.5f);
    EXPECT_LT(edge, 1.0f);
    const float area = std::accumulate(mask.begin(), mask.end(), 0.0f);
    EXPECT_NEAR(area, 3.14159f * 100, 6.0f);
}

TEST(PictureToolTest, AnArcCoversOnlyItsSectorOfTheRing) {
    Raster raster;
    Shape arc;
    arc.kind = Shape::Kind::Arc;
    arc.x = arc.y = 32, arc.r = 20, arc.w = 6, arc.from = 0, arc.to = 90;  // counter-clockwise from +x, y up
    std::vector<float> mask;
    std::string error;
    ASSERT_TRUE(raster.Coverage(arc, 64, 64, &mask, &error));
    EXPECT_EQ(At(mask, 64, 46, 17), 1.0f) << "upper right, on the ring";
    EXPECT_EQ(At(mask, 64, 17, 17), 0.0f) << "upper left";
    EXPECT_EQ(At(mask, 64, 46, 46), 0.0f) << "lower right";
    EXPECT_EQ(At(mask, 64, 38, 25), 0.0f) << "inside the ring";
}

TEST(PictureToolTest, CombinationsTakeTheLargerTheSmallerOrTheRemainder) {
    std::string error;
    const auto pictures = Describe(
        "picture{name = 'u', width = 10, height = 4, layers = {fill{union{rect{x = 0, y = 0, w = 3, h = 4}, "
        "rect{x = 6, y = 0, w = 3, h = 4}}}}}\n"
        "picture{name = 's', width = 10, height = 4, layers = {fill{subtract{whole(), rect{x = 0, y = 0, w = 5, "
        "h = 4}}}}}\n"
        "picture{name = 'i', width = 10, height = 4, layers = {fill{intersect{rect{x = 0, y = 0, w = 6, h = 4}, "
        "rect{x = 4, y = 0, w = 6, h = 4}}}}}\n",
        &error);
    ASSERT_EQ(pictures.size(), 3u) << error;
    Raster raster;
    Image u, s, i;
    ASSERT_TRUE(raster.Draw(pictures[0], &u, &error) && raster.Draw(pictures[1], &s, &error) &&
                raster.Draw(pictures[2], &i, &error));
    auto alphaAt = [](const Image& image, int x) { return image.rgba[x * 4 + 3]; };
    EXPECT_EQ(alphaAt(u, 1), 255);
    EXPECT_EQ(alphaAt(u, 4), 0);
    EXPECT_EQ(alphaAt(u, 7), 255);
    EXPECT_EQ(alphaAt(s, 2), 0);
    EXPECT_EQ(alphaAt(s, 7), 255);
    EXPECT_EQ(alphaAt(i, 3), 0);
    EXPECT_EQ(alphaAt(i, 5), 255);
}

TEST(PictureToolTest, BlurKeepsTheTotalAndSpreadsIt) {
    std::vector<float> mask(41 * 41, 0.0f);
    mask[20 * 41 + 20] = 1.0f;
    Raster::Blur(mask, 41, 41, 3.0f);
    EXPECT_NEAR(std::accumulate(mask.begin(), mask.end(), 0.0f), 1.0f, 1e-4f);
    EXPECT_GT(mask[20 * 41 + 23], 0.0f);
    EXPECT_LT(mask[20 * 41 + 20], 0.05f);
}

TEST(PictureToolTest, GradientsRunBetweenTheirStops) {
    Paint paint;
    paint.kind = Paint::Kind::Linear;
    paint.x0 = 0, paint.x1 = 10;
    paint.stops = {{0.0f, Colour{0, 0, 0, 1}}, {1.0f, Colour{1, 1, 1, 1}}};
    EXPECT_NEAR(Raster::PaintAt(paint, 4, 0)[0], 0.45f, 1e-5f);
    EXPECT_EQ(Raster::PaintAt(paint, 30, 0)[0], 1.0f) << "clamped past the end";
    paint.kind = Paint::Kind::Radial;
    paint.x0 = paint.y0 = 0.5f, paint.x1 = paint.y1 = 10;
    EXPECT_EQ(Raster::PaintAt(paint, 0, 0)[0], 0.0f);
    EXPECT_EQ(Raster::PaintAt(paint, 20, 0)[0], 1.0f);
}

TEST(PictureToolTest, TextIsDrawnWhereItsAlignmentPutsIt) {
    TextRaster text;
    float width = 0.0f;
    std::string error;
    ASSERT_TRUE(text.Measure(kFont, 20, 0, "HELLO", &width, &error)) << error;
    EXPECT_GT(width, 50.0f);
    TextSpec spec;
    spec.text = "HELLO";
    spec.font = kFont;
    spec.size = 20;
    spec.x = 100, spec.y = 30;
    spec.align = TextSpec::Align::Right;
    std::vector<float> mask(120 * 40, 0.0f);
    ASSERT_TRUE(text.Draw(spec, 120, 40, mask, &error)) << error;
    int left = 120, right = 0, top = 40, bottom = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x)
            if (At(mask, 120, x, y) > 0.5f)
                left = std::min(left, x), right = std::max(right, x), top = std::min(top, y),
                bottom = std::max(bottom, y);
    EXPECT_NEAR(right, 99, 2);
    EXPECT_NEAR(left, 100 - width, 3);
    EXPECT_EQ(bottom, 29) << "capitals stand on the baseline";
    EXPECT_NEAR(top, 30 - 20 * 0.73f, 2);
}

TEST(PictureToolTest, LongTextBreaksBetweenWordsToItsWidth) {
    TextRaster text;
    TextSpec spec;
    spec.text = "one two three four five six\nseven";
    spec.font = kFont;
    spec.size = 20;
    spec.wrap = 120;
    std::vector<std::string> lines;
    std::string error;
    ASSERT_TRUE(text.Lines(spec, &lines, &error)) << error;
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines.back(), "seven");
    for (const std::string& line : lines) {
        float width = 0.0f;
        text.Measure(kFont, 20, 0, line, &width, &error);
        EXPECT_LE(width, 120.0f) << line;
    }
}

TEST(PictureToolTest, LayersCompositeOverAndAdd) {
    // Half-clear blue; half red over it on the left, green added at half on the right.
    const Image image = Draw(
        "picture{name = 'p', width = 2, height = 1, layers = {fill{whole(), paint = '#0000ff80'}, "
        "fill{rect{x = 0, y = 0, w = 1, h = 1}, paint = '#ff000080'}, "
        "fill{rect{x = 1, y = 0, w = 1, h = 1}, paint = '#00ff00', blend = 'add', opacity = 0.5}}}");
    ASSERT_EQ(image.rgba.size(), 8u);
    EXPECT_NEAR(image.rgba[0], 170, 1) << "two thirds red";
    EXPECT_NEAR(image.rgba[2], 85, 1) << "one third blue";
    EXPECT_NEAR(image.rgba[3], 191, 1) << "a half over a half";
    EXPECT_NEAR(image.rgba[5], 128, 1) << "green added";
    EXPECT_NEAR(image.rgba[6], 128, 1);
    EXPECT_EQ(image.rgba[7], 255) << "alphas added";
}

TEST(PictureToolTest, TheSameDescriptionGivesTheSameBytes) {
    const std::string source =
        "picture{name = 'p', width = 64, height = 32, layers = {fill{whole(), paint = radial(32, 16, 40, 20, "
        "{{0, '#ff0000'}, {1, '#0000ff'}}, 0.05)}, glow{text{'Hi', font = '" +
        std::string(kFont) + "', size = 20, x = 32, y = 24, align = 'centre'}, paint = '#ffffff', radius = 2}}}";
    EXPECT_EQ(Draw(source).rgba, Draw(source).rgba);
}

TEST(PictureToolTest, DescriptionMistakesAreNamed) {
    const struct {
        const char* source;
        const char* says;
    } cases[] = {
        {"picture{name = 'a', width = 4, height = 4, layers = {fill{rect{x = 0, y = 0, w = 2, h = 2, rr = 1}}}}",
         "no key \"rr\""},
        {"picture{name = 'b', width = 4, height = 4, layers = {fill{blob{}}}}", "blob"},
        {"picture{name = 'c', width = 4, height = 4, layers = {fill{whole(), paint = '#12'}}}", "not a colour"},
        {"picture{name = 'd', width = 0, height = 4}", "size"},
        {"picture{name = 'e', width = 4, height = 4, format = 'png'}", "no format"},
        {"picture{name = 'f', width = 4, height = 4} picture{name = 'f', width = 4, height = 4}", "twice"},
        {"picture{width = 4, height = 4}", "needs a name"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_TRUE(Describe(c.source, &error).empty()) << c.source;
        EXPECT_NE(error.find(c.says), std::string::npos) << c.source << " said: " << error;
    }
}

TEST(PictureToolTest, DdsFilesReadBackInEachFormat) {
    Image image;
    image.width = 7, image.height = 5;  // not a multiple of 4
    for (std::uint32_t i = 0; i < 35; ++i)
        for (int c = 0; c < 4; ++c) image.rgba.push_back(static_cast<std::uint8_t>(i * 7 + c * 50));
    for (std::uint32_t i = 0; i < 35; ++i) image.rgba[i * 4 + 3] = 255;
    for (Picture::Format format : {Picture::Format::Bgra, Picture::Format::Bgr, Picture::Format::Bc3})
        for (bool mips : {false, true}) {
            const std::vector<std::uint8_t> bytes = EncodePictureDds(image, format, mips);
            GpuImage read;
            std::string error;
            ASSERT_TRUE(ReadDds(bytes.data(), bytes.size(), &read, &error)) << error;
            EXPECT_EQ(read.width, 7u);
            EXPECT_EQ(read.height, 5u);
            EXPECT_EQ(read.mipLevels, mips ? 3u : 1u);
            read.Decompress();
            if (format == Picture::Format::Bc3) continue;  // lossy
            EXPECT_TRUE(std::equal(image.rgba.begin(), image.rgba.end(), read.subresources[0].begin()))
                << static_cast<int>(format);
        }
}

TEST(PictureToolTest, MipLevelsHalveDownToOnePixel) {
    Image image;
    image.width = 8, image.height = 2;
    image.rgba.assign(8 * 2 * 4, 200);
    const std::vector<Image> chain = MipChain(image);
    ASSERT_EQ(chain.size(), 4u);
    EXPECT_EQ(chain[1].width, 4u);
    EXPECT_EQ(chain[1].height, 1u);
    EXPECT_EQ(chain[3].width, 1u);
    EXPECT_EQ(chain[3].rgba[0], 200);
}

TEST(PictureToolTest, PreviewsPlaceEarlierPictures) {
    std::string error;
    const auto pictures = Describe(
        "picture{name = 'dot', width = 2, height = 2, layers = {fill{whole(), paint = '#ff0000'}}}\n"
        "preview{name = 'sheet', width = 6, height = 6, layers = {image{'dot', x = 3, y = 3}}}",
        &error);
    ASSERT_EQ(pictures.size(), 2u) << error;
    EXPECT_TRUE(pictures[1].preview);
    Raster raster;
    Image dot, sheet;
    ASSERT_TRUE(raster.Draw(pictures[0], &dot, &error));
    raster.Remember("dot", dot);
    ASSERT_TRUE(raster.Draw(pictures[1], &sheet, &error)) << error;
    EXPECT_EQ(sheet.rgba[(2 * 6 + 2) * 4 + 0], 255);
    EXPECT_EQ(sheet.rgba[(2 * 6 + 2) * 4 + 3], 255);
    EXPECT_EQ(sheet.rgba[(0 * 6 + 0) * 4 + 3], 0);
}

}  // namespace
