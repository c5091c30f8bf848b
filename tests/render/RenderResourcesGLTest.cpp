// Render resources: file textures cached by name with missing and unreadable
// files told apart, solid colours, the fallback pattern, cube textures (shared
// per file while held by their callers) and those that cannot be loaded, and the
// particle mask array built from mixed files.
#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include <stb/stb_image_write.h>

#include "port/gpu/GpuDevice.h"
#include "port/gpu/GpuSwapChain.h"
#include "render/mesh/Model.h"
#include "tests/render/GraphicsTestRig.h"
#include "tests/support/LogCapture.h"

namespace fs = std::filesystem;

namespace {

class RenderResourcesGLTest : public GraphicsTestRig {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("dd_resources_" + std::to_string(::getpid()));
        fs::create_directories(root / "texture");
        fs::create_directories(root / "particle");
        FilePath textures, particles;
        textures.baseFolder = particles.baseFolder = root.string() + "/";
        textures.path = "texture/";
        textures.extension = ".png";
        particles.path = "particle/";
        particles.extension = ".png";
        resources = std::make_unique<RenderResources>(textures, particles);
        OpenWindow(64, 64);
        std::string error;
        ASSERT_TRUE(GpuCreateDeviceAndSwapChain(window->NativeWindow(), 64, 64, &device, &swapChain, &error)) << error;
        resources->SetDevice(device);
    }
    void TearDown() override {
        resources.reset();
        swapChain.reset();
        device.reset();
        GraphicsTestRig::TearDown();
        fs::remove_all(root);
    }
    void WritePng(const std::string& file, int size, std::uint8_t red) {
        std::vector<std::uint8_t> pixels(static_cast<size_t>(size) * size * 4, 255);
        for (size_t i = 0; i < pixels.size(); i += 4) pixels[i] = red;
        ASSERT_TRUE(stbi_write_png((root / file).string().c_str(), size, size, 4, pixels.data(), size * 4));
    }
    static std::vector<std::uint8_t> Texels(GpuShaderResourceView* view, unsigned subresource = 0) {
        std::vector<std::uint8_t> bytes;
        view->Texture()->ReadBack(subresource, &bytes);
        return bytes;
    }

    fs::path root;
    std::shared_ptr<GpuDevice> device;
    std::unique_ptr<GpuSwapChain> swapChain;
};

TEST_F(RenderResourcesGLTest, FileTextureIsLoadedOnceAndFoundWithCaseFolded) {
    WritePng("texture/Ship.PNG", 4, 10);
    GpuShaderResourceView* ship = resources->GetTexture("ship");
    ASSERT_NE(ship, nullptr);
    EXPECT_EQ(resources->GetTexture("ship"), ship);
    EXPECT_EQ(Texels(ship)[0], 10);
}

TEST_F(RenderResourcesGLTest, MissingFileIsNullAndTriedAgainAfterASceneClear) {
    EXPECT_EQ(resources->GetTexture(""), nullptr);
    EXPECT_EQ(resources->GetTexture("hull"), nullptr);
    EXPECT_EQ(resources->GetTexture("hull"), nullptr);
    WritePng("texture/hull.png", 4, 20);
    EXPECT_EQ(resources->GetTexture("hull"), nullptr) << "remembered as missing until the scene is cleared";
    resources->ForgetFailures();
    GpuShaderResourceView* hull = resources->GetTexture("hull");
    ASSERT_NE(hull, nullptr);
    EXPECT_EQ(Texels(hull)[0], 20);
}

// Counts the times a folder is opened (listed) while it is watched.
class FolderOpens {
public:
    explicit FolderOpens(const fs::path& folder) : fd_(::inotify_init1(IN_NONBLOCK)) {
        if (fd_ >= 0) ::inotify_add_watch(fd_, folder.c_str(), IN_OPEN);
    }
    ~FolderOpens() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool Watching() const { return fd_ >= 0; }
    // Opens of the folder itself since the last call.
    int Take() {
        int opens = 0;
        alignas(inotify_event) char buffer[4096];
        ssize_t got;
        while ((got = ::read(fd_, buffer, sizeof buffer)) > 0)
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if ((event->mask & IN_OPEN) && (event->mask & IN_ISDIR) && event->len == 0) ++opens;
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        return opens;
    }

private:
    int fd_;
};

TEST_F(RenderResourcesGLTest, MissingAndBrokenNamesAreLookedUpOncePerSceneNotOncePerObject) {
    // The names a thousand untextured models ask for (their companion maps),
    // beside a texture folder of a few files: each name searched the folder
    // again for every model.
    for (int i = 0; i < 8; ++i) WritePng("texture/other" + std::to_string(i) + ".png", 4, 1);
    std::ofstream(root / "texture/cracked.png") << "not a picture";
    FolderOpens opens(root / "texture");
    ASSERT_TRUE(opens.Watching());
    const char* names[] = {"Cube", "Cube.normal", "Cube.specular", "Cube.glow", "cracked"};
    for (int model = 0; model < 1000; ++model)
        for (const char* name : names)
            EXPECT_EQ(resources->GetTexture(name),
                      std::string(name) == "cracked" ? resources->GetFallbackTexture() : nullptr);
    const int firstScene = opens.Take();
    EXPECT_LE(firstScene, 2 * 5) << "a search or two per name, not per model";

    // The next scene looks again, once.
    resources->ForgetFailures();
    for (int model = 0; model < 1000; ++model)
        for (const char* name : names) resources->GetTexture(name);
    EXPECT_EQ(opens.Take(), firstScene);
}

TEST_F(RenderResourcesGLTest, UnreadableFileGivesTheFallbackPattern) {
    std::ofstream(root / "texture/broken.png") << "not a picture";
    GpuShaderResourceView* broken = resources->GetTexture("broken");
    ASSERT_NE(broken, nullptr);
    EXPECT_EQ(broken, resources->GetFallbackTexture());
    const auto bytes = Texels(broken);
    auto texel = [&](unsigned x, unsigned y) { return &bytes[(y * 64 + x) * 4]; };
    const std::uint8_t black[4] = {0, 0, 0, 255}, entry3[4] = {0, 153, 109, 255};
    for (unsigned y = 0; y < 64; y += 7) {
        EXPECT_EQ(0, std::memcmp(texel(0, y), black, 4));
        EXPECT_EQ(0, std::memcmp(texel(1, y), black, 4));
    }
    for (unsigned x = 0; x < 64; x += 5) EXPECT_EQ(0, std::memcmp(texel(x, 0), black, 4));
    EXPECT_EQ(0, std::memcmp(texel(5, 3), entry3, 4));
}

TEST_F(RenderResourcesGLTest, EveryUnreadableTextureHasOneRowNamingItPerScene) {
    // A corrupted model texture or menu picture: the pattern shows, and the
    // log says which file it stands in for.
    std::ofstream(root / "texture/Title_clean.png") << "not a picture";
    WritePng("texture/good.png", 4, 1);
    LogCapture log;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(resources->GetTexture("Title_clean"), resources->GetFallbackTexture());
        EXPECT_NE(resources->GetTexture("good"), resources->GetFallbackTexture());
        EXPECT_EQ(resources->GetTexture("missing"), nullptr);
    }
    resources->ForgetFailures();
    resources->GetTexture("Title_clean");
    std::vector<std::string> rows;
    ASSERT_TRUE(log.FinishMessages(rows));
    int named = 0, missing = 0;
    for (const std::string& row : rows) {
        named += row.find((root / "texture/Title_clean.png").string()) != std::string::npos;
        missing += row.find((root / "texture/missing.png").string()) != std::string::npos;
        EXPECT_EQ(row.find("good"), std::string::npos) << row;
    }
    EXPECT_EQ(named, 2) << "one row in each of the two scenes";
    EXPECT_EQ(missing, 1) << "asked for in the first scene only";
}

TEST_F(RenderResourcesGLTest, SolidColoursAreCachedByExactColour) {
    GpuShaderResourceView* blue = resources->GetSolidColorTexture(0, 0, 1, 1);
    ASSERT_NE(blue, nullptr);
    EXPECT_EQ(resources->GetSolidColorTexture(0, 0, 1, 1), blue);
    EXPECT_NE(resources->GetSolidColorTexture(0, 0, 1, 0.999f), blue);
    EXPECT_EQ(resources->GetSolidColorTexture(0, 0, 1.0001f, 1), blue) << "the same bytes";
    const auto bytes = Texels(resources->GetSolidColorTexture(0.5f, 1.0f, 0.0f, 1.0f));
    ASSERT_EQ(bytes.size(), RenderResources::kSolidSize * RenderResources::kSolidSize * 4u);
    const std::uint8_t expected[4] = {127, 255, 0, 255};
    EXPECT_EQ(0, std::memcmp(bytes.data(), expected, 4));
    EXPECT_EQ(0, std::memcmp(&bytes[bytes.size() - 4], expected, 4));
}

TEST_F(RenderResourcesGLTest, TwentyThousandDistinctHeldColoursStayWithinTheCacheBound) {
    // 20,000 quads of distinct colours, each holding its colour: the cache
    // stays at its bound (the nearest held colour stands in past it) and the
    // process within 48 MB more (one 64x64 texture a colour took 400 MB).
    auto channel = [](unsigned k) { return (static_cast<float>(k) + 0.5f) / 255.0f; };
    const std::size_t before = ResidentBytes();
    std::vector<std::shared_ptr<GpuShaderResourceView>> held;
    for (unsigned i = 0; i < 20000; ++i)
        held.push_back(resources->HoldSolidColorTexture(channel(i & 0xFF), channel(i >> 8), 0.5f, 1.0f));
    EXPECT_EQ(resources->SolidColorCount(), RenderResources::kMaxSolidColors);
    EXPECT_LT(ResidentBytes(), before + (48u << 20));
    EXPECT_EQ(held[0], resources->HoldSolidColorTexture(channel(0), channel(0), 0.5f, 1.0f));
    // Past the bound: the nearest held colour (19999 is r 31, g 78; the held
    // ones have g 0 to 3).
    EXPECT_EQ(held[19999], held[3 * 256 + 31]);
    const auto nearest = Texels(held[19999].get());
    const std::uint8_t expected[4] = {31, 3, 127, 255};
    EXPECT_EQ(0, std::memcmp(nearest.data(), expected, 4));

    // Released with their holders: new colours take their places.
    held.clear();
    std::shared_ptr<GpuShaderResourceView> fresh = resources->HoldSolidColorTexture(0.1f, 0.2f, 0.3f, 0.4f);
    const auto texel = Texels(fresh.get());
    const std::uint8_t freshBytes[4] = {25, 51, 76, 102};
    EXPECT_EQ(0, std::memcmp(texel.data(), freshBytes, 4));
    EXPECT_EQ(resources->SolidColorCount(), RenderResources::kMaxSolidColors);
    EXPECT_NE(resources->HoldSolidColorTexture(channel(0), channel(0), 0.5f, 1.0f).get(), nullptr);
}

TEST_F(RenderResourcesGLTest, CubeThatCannotBeLoadedIsPlainGreen) {
    GpuShaderResourceView* green = resources->GetSolidColorTexture(0, 1, 0, 1);
    EXPECT_EQ(resources->LoadTextureFile((root / "none.dds").string()).get(), green);
    WritePng("flat.png", 4, 0);  // exists, but is no cube
    EXPECT_EQ(resources->LoadTextureFile((root / "flat.png").string()).get(), green);
    std::ofstream(root / "broken.dds") << "DDS garbage";
    EXPECT_EQ(resources->LoadTextureFile((root / "broken.dds").string()).get(), green);
    // The stand-in stays the resources' own.
    EXPECT_EQ(resources->GetSolidColorTexture(0, 1, 0, 1), green);
}

// Sky boxes naming one file share its cube (500 sky boxes of one file took
// 500 copies); the cube goes with its last holder, and the next load reads
// the file again.
TEST_F(RenderResourcesGLTest, CubeLoadsOfOneFileShareOneCubeThatGoesWithItsLastHolder) {
    const std::string sky = AssetFolder("skybox", ".dds").GetFullPath("Sky");
    std::shared_ptr<GpuShaderResourceView> first = resources->LoadTextureFile(sky);
    ASSERT_TRUE(first);
    ASSERT_EQ(first->Dimension(), GpuSrvDimension::TextureCube);
    std::string folded = sky;
    for (std::size_t i = folded.rfind('/') + 1; i < folded.size(); ++i)
        folded[i] = static_cast<char>(std::toupper(folded[i]));
    std::vector<std::shared_ptr<GpuShaderResourceView>> holders;
    for (const std::string& path : {sky, sky, folded}) holders.push_back(resources->LoadTextureFile(path));
    for (const auto& held : holders) EXPECT_EQ(held, first) << "one cube for one file, however its name is cased";
    EXPECT_EQ(resources->CubeTextureCount(), 1u);

    std::weak_ptr<GpuShaderResourceView> firstView = first;
    std::weak_ptr<GpuTexture> firstTexture = first->SharedTexture();
    first.reset();
    holders.clear();
    // Nothing of the resources keeps a cube its holders let go.
    EXPECT_TRUE(firstView.expired());
    EXPECT_TRUE(firstTexture.expired());
    EXPECT_EQ(resources->CubeTextureCount(), 0u);
    std::shared_ptr<GpuShaderResourceView> again = resources->LoadTextureFile(sky);
    ASSERT_TRUE(again);
    EXPECT_EQ(again.use_count(), 1);
}

// Every spelling of one file is that file: 4,000 spellings of one sky file
// loaded 4,000 cubes (2.29 GB resident against 205 MB); textures alike.
TEST_F(RenderResourcesGLTest, SpellingsOfOneFileShareOneCubeAndOneTexture) {
    const FilePath skies = AssetFolder("skybox", "");
    const std::size_t bound = ResidentBytes() + (200u << 20);
    std::vector<std::shared_ptr<GpuShaderResourceView>> held;
    for (unsigned i = 0; i < 4000; ++i) {
        std::string name = "Sky.dds";
        for (unsigned bit = 0; bit < 12; ++bit) name = ((i >> bit) & 1 ? "./" : ".//") + name;
        held.push_back(resources->LoadTextureFile(skies.GetFullPath(name)));
        if (i % 100 == 0) {
            ASSERT_LT(ResidentBytes(), bound) << "after " << i << " spellings";
        }
    }
    ASSERT_EQ(held[0]->Dimension(), GpuSrvDimension::TextureCube);
    EXPECT_EQ(std::count(held.begin(), held.end(), held[0]), 4000);
    EXPECT_EQ(resources->CubeTextureCount(), 1u);

    WritePng("texture/Rock.png", 4, 7);
    fs::create_directories(root / "texture/sub");
    GpuShaderResourceView* rock = resources->GetTexture("Rock");
    ASSERT_NE(rock, nullptr);
    for (const char* name : {"./Rock", ".//rock", "././ROCK", "sub/../Rock"})
        EXPECT_EQ(resources->GetTexture(name), rock) << name;
}

// A missing texture or sky file has one row per name and scene, as an
// unreadable one has (a thousand models naming missing textures gave none);
// a model's companion maps that do not exist are no fault and get none.
TEST_F(RenderResourcesGLTest, MissingTexturesAndSkyFilesHaveOneRowPerNameAndScene) {
    LogCapture log;
    GpuShaderResourceView* green = resources->GetSolidColorTexture(0, 1, 0, 1);
    for (int scene = 0; scene < 2; ++scene) {
        for (int ask = 0; ask < 3; ++ask) {
            for (int n = 0; n < 100; ++n) {
                Model model;
                model.filename = "Hull";
                model.material.diffuseFileName = "paint" + std::to_string(n);
                model.LoadTextures();
                EXPECT_EQ(model.material.diffuse, nullptr);
            }
            EXPECT_EQ(resources->LoadTextureFile((root / "nosky.dds").string()).get(), green);
        }
        resources->ForgetFailures();
    }
    std::vector<std::string> rows;
    ASSERT_TRUE(log.FinishMessages(rows));
    for (int n = 0; n < 100; ++n)
        EXPECT_EQ(LogCapture::CountContaining(rows, (root / "texture/paint").string() + std::to_string(n) + ".png"), 2u)
            << n;
    EXPECT_EQ(LogCapture::CountContaining(rows, (root / "nosky.dds").string()), 2u);
    EXPECT_EQ(LogCapture::CountContaining(rows, "Hull"), 0u);
}

TEST_F(RenderResourcesGLTest, ParticleMasksOfMixedSizesAreResizedToTheSmallestAndBadFilesLeftOut) {
    WritePng("particle/a.png", 8, 1);
    WritePng("particle/b.png", 4, 2);  // another size
    std::ofstream(root / "particle/c.png") << "broken";
    WritePng("particle/d.png", 8, 4);
    std::ofstream(root / "particle/notes.txt") << "not a mask";
    resources->LoadParticleTextures();
    const auto entries = resources->ListEntries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0], (std::pair<std::string, unsigned>{"a", 0}));
    EXPECT_EQ(entries[1], (std::pair<std::string, unsigned>{"b", 1}));
    EXPECT_EQ(entries[2], (std::pair<std::string, unsigned>{"d", 2}));
    GpuShaderResourceView* array = resources->GetParticleTextureArray();
    ASSERT_NE(array, nullptr);
    EXPECT_EQ(array->Dimension(), GpuSrvDimension::Texture2DArray);
    const GpuTextureDesc& desc = array->Texture()->GetDesc();
    EXPECT_EQ(desc.width, 4u);
    EXPECT_EQ(desc.height, 4u);
    EXPECT_EQ(desc.arraySize, 3u);
    const auto a = Texels(array, 0);
    ASSERT_EQ(a.size(), 4u * 4 * 4);
    EXPECT_EQ(a[0], 1);
    EXPECT_EQ(a[a.size() - 4], 1);
    EXPECT_EQ(Texels(array, 1 * desc.mipLevels)[0], 2);
    EXPECT_EQ(Texels(array, 2 * desc.mipLevels)[0], 4);
}

TEST_F(RenderResourcesGLTest, EmptyParticleFolderBuildsNothing) {
    resources->LoadParticleTextures();
    EXPECT_EQ(resources->GetParticleTextureArray(), nullptr);
    EXPECT_TRUE(resources->ListEntries().empty());
}

TEST_F(RenderResourcesGLTest, SingleParticleMaskIsStillAnArray) {
    WritePng("particle/only.png", 4, 9);
    resources->LoadParticleTextures();
    ASSERT_NE(resources->GetParticleTextureArray(), nullptr);
    EXPECT_EQ(resources->GetParticleTextureArray()->Dimension(), GpuSrvDimension::Texture2DArray);
}

TEST_F(RenderResourcesGLTest, DynamicTextureIsFilledByItsOwnerAndViewed) {
    GpuTextureDesc desc;
    auto texture = resources->CreateDynamicTexture(16, 8, &desc);
    ASSERT_TRUE(texture);
    EXPECT_EQ(desc.width, 16u);
    EXPECT_EQ(desc.cpuAccessFlags, static_cast<u32>(GpuCpuAccessWrite));
    GpuMappedSubresource mapped;
    ASSERT_TRUE(texture->Map(0, GpuMap::WriteDiscard, &mapped));
    std::memset(mapped.data, 77, mapped.rowPitch * 8);
    texture->Unmap(0);
    auto view = resources->CreateTextureView(texture);
    ASSERT_TRUE(view);
    EXPECT_EQ(Texels(view.get())[5], 77);
}

TEST(RenderResourcesTest, WithoutDeviceEveryRequestIsNull) {
    RenderResources resources{FilePath(), FilePath()};
    EXPECT_EQ(resources.GetTexture("anything"), nullptr);
    EXPECT_EQ(resources.GetSolidColorTexture(1, 1, 1, 1), nullptr);
    EXPECT_EQ(resources.GetFallbackTexture(), nullptr);
    EXPECT_EQ(resources.LoadTextureFile("x.dds"), nullptr);
    EXPECT_FALSE(resources.CreateDynamicTexture(4, 4));
    resources.LoadParticleTextures();
    EXPECT_EQ(resources.GetParticleTextureArray(), nullptr);
    EXPECT_EQ(resources.FallbackPalette(1).r, 1.0f / 3.0f);
}

}  // namespace
