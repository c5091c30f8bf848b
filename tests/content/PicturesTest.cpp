// The committed pictures as a player's screen gets them: every name of the
// content issue in exact case, at its listed size, with at least 32
// colours; hover pictures plainly different from their buttons; pictures
// with text uncompressed; the status lights clear of their cut-off left
// edge; the cursor centred on the mouse point; the fonts named in the notice.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "tests/content/PictureAssets.h"

namespace {

TEST(PicturesTest, EveryListedNameExistsInExactCase) {
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(TextureFolder()))
        files.insert(entry.path().filename().string());
    for (const ListedPicture& p : ListedPictures()) EXPECT_TRUE(files.count(p.name + ".dds")) << p.name;
}

TEST(PicturesTest, EachReadsAtItsListedSize) {
    for (const ListedPicture& p : ListedPictures()) {
        const GpuImage image = LoadPicture(p.name);
        ASSERT_GT(image.width, 0u) << p.name << " does not read";
        if (p.width == 0) continue;
        EXPECT_EQ(image.width, p.width) << p.name;
        EXPECT_EQ(image.height, p.height) << p.name;
    }
}

TEST(PicturesTest, EachHasAtLeast32Colours) {
    for (const ListedPicture& p : ListedPictures()) {
        const GpuImage image = LoadPicture(p.name);
        std::set<std::uint32_t> colours;
        for (std::uint32_t y = 0; y < image.height; ++y)
            for (std::uint32_t x = 0; x < image.width; ++x) {
                const std::uint8_t* t = Texel(image, x, y);
                if (t[3] == 0) continue;  // clear pixels show no colour
                colours.insert(t[0] | t[1] << 8 | t[2] << 16 | static_cast<std::uint32_t>(t[3]) << 24);
            }
        EXPECT_GE(colours.size(), 32u) << p.name;
    }
}

TEST(PicturesTest, HoverDiffersFromNormalInAtLeastFivePercentOfPixels) {
    int pairs = 0;
    for (const ListedPicture& p : ListedPictures()) {
        if (p.hover.empty()) continue;
        ++pairs;
        const GpuImage normal = LoadPicture(p.name), hover = LoadPicture(p.hover);
        ASSERT_EQ(normal.width, hover.width) << p.name;
        ASSERT_EQ(normal.height, hover.height) << p.name;
        size_t differing = 0;
        for (std::uint32_t y = 0; y < normal.height; ++y)
            for (std::uint32_t x = 0; x < normal.width; ++x) {
                const std::uint8_t *a = Texel(normal, x, y), *b = Texel(hover, x, y);
                int most = 0;
                for (int c = 0; c < 4; ++c) most = std::max(most, std::abs(a[c] - b[c]));
                differing += most > 8;
            }
        EXPECT_GE(differing * 20, static_cast<size_t>(normal.width) * normal.height) << p.name << " / " << p.hover;
    }
    EXPECT_EQ(pairs, 15);
}

TEST(PicturesTest, OnlyTextlessPicturesAreCompressed) {
    for (const ListedPicture& p : ListedPictures()) {
        GpuFormat format = GpuFormat::Unknown;
        LoadPicture(p.name, &format);
        if (!p.textless) {
            EXPECT_EQ(format, GpuFormat::R8G8B8A8_UNORM) << p.name << " has text: uncompressed";
        }
    }
}

TEST(PicturesTest, StatusLightsAreClearOfTheirLeftmostFiftyPixels) {
    for (const char* name : {"status_shields_disabled", "status_shields_active", "status_weapons_disabled",
                             "status_weapons_active", "status_boost_disabled", "status_boost_active"}) {
        const GpuImage image = LoadPicture(name);
        ASSERT_EQ(image.width, 312u) << name;
        int opaque = 0;
        for (std::uint32_t y = 0; y < image.height; ++y)
            for (std::uint32_t x = 0; x < 50; ++x) opaque += Texel(image, x, y)[3] > 0;
        EXPECT_EQ(opaque, 0) << name;
    }
}

TEST(PicturesTest, CursorIsCentredOnTheMousePoint) {
    const GpuImage image = LoadPicture("cursor");
    double sum = 0, sx = 0, sy = 0;
    for (std::uint32_t y = 0; y < image.height; ++y)
        for (std::uint32_t x = 0; x < image.width; ++x) {
            const double a = Texel(image, x, y)[3];
            sum += a, sx += a * (x + 0.5), sy += a * (y + 0.5);
        }
    ASSERT_GT(sum, 0.0);
    EXPECT_NEAR(sx / sum, 15.0, 0.5);
    EXPECT_NEAR(sy / sum, 15.0, 0.5);
    EXPECT_GT(Texel(image, 15, 15)[3], 200) << "a dot at the mouse point";
}

TEST(PicturesTest, EveryFontTheDescriptionsUseIsAnInstalledFileNamedInTheNotice) {
    const std::string source = std::getenv("DD_SOURCE_DIR");
    std::ifstream notice(source + "/assets/FONTS-NOTICE.txt");
    std::stringstream text;
    text << notice.rdbuf();
    std::ifstream style(source + "/tools/picturetool/pictures/00-style.lua");
    std::string line;
    int fonts = 0;
    while (std::getline(style, line)) {
        const size_t at = line.find("\"/usr/share/fonts/");
        if (at == std::string::npos) continue;
        const std::string path = line.substr(at + 1, line.find('"', at + 1) - at - 1);
        ++fonts;
        EXPECT_TRUE(std::filesystem::exists(path)) << path << " (scripts/install-deps.sh installs it)";
        EXPECT_NE(text.str().find(std::filesystem::path(path).filename().string()), std::string::npos) << path;
    }
    EXPECT_EQ(fonts, 3);
    EXPECT_NE(text.str().find("SIL Open Font License"), std::string::npos);
    EXPECT_NE(text.str().find("Bitstream Vera"), std::string::npos);
}

}  // namespace
