// Primitive textures on the GPU: the noise diffuse texture (flat without a
// gradient, blended with one), the noise glow map, the solid stand-ins, and a
// grid wider than high mapped inside its texture.
#include <gtest/gtest.h>

#include "engine/GameObject.h"
#include "engine/Transform.h"
#include "port/gpu/GpuDevice.h"
#include "port/gpu/GpuShaderResourceView.h"
#include "port/gpu/GpuSwapChain.h"
#include "render/frame/RenderDevice.h"
#include "render/mesh/Model.h"
#include "render/mesh/NoiseGenerator.h"
#include "render/mesh/Primitive.h"
#include "scene/ObjectFactory.h"
#include "tests/render/GraphicsTestRig.h"
#include "tests/support/LogCapture.h"

namespace {

class PrimitiveGLTest : public GraphicsTestRig {
protected:
    void SetUp() override {
        OpenWindow(64, 64);
        std::string error;
        ASSERT_TRUE(GpuCreateDeviceAndSwapChain(window->NativeWindow(), 64, 64, &device, &swapChain, &error)) << error;
        resources->SetDevice(device);
        renderDevice->SetDevice(device);
        factory->RegisterComponentPrototype("Model", new Model());
    }
    void TearDown() override {
        factory.reset();
        overlord.reset();
        noise.reset();
        renderDevice.reset();
        swapChain.reset();
        device.reset();
        GraphicsTestRig::TearDown();
    }

    Model* Build(Primitive* primitive) {
        auto* object = new GameObject();
        object->AddComponent(new Transform());
        object->AddComponent(primitive);
        object->Init();
        return object->GetComponent<Model>();
    }
    static std::vector<std::uint8_t> Texels(GpuShaderResourceView* view, unsigned* width = nullptr,
                                            unsigned* height = nullptr) {
        std::vector<std::uint8_t> bytes;
        if (!view) return bytes;
        view->Texture()->ReadBack(0, &bytes);
        if (width) *width = view->Texture()->GetDesc().width;
        if (height) *height = view->Texture()->GetDesc().height;
        return bytes;
    }
    static Primitive* NoisySphere() {
        auto* p = new Primitive();
        p->noisy = true;
        p->width = 16;
        p->height = 16;
        p->octaves = 3;
        p->persist = 0.5f;
        p->color = D3DXCOLOR(1, 0, 0, 1);
        p->endColor = D3DXCOLOR(0, 0, 1, 1);
        return p;
    }

    std::shared_ptr<GpuDevice> device;
    std::unique_ptr<GpuSwapChain> swapChain;
    std::unique_ptr<RenderDevice> renderDevice = std::make_unique<RenderDevice>();
    std::unique_ptr<NoiseGenerator> noise = std::make_unique<NoiseGenerator>();
    std::unique_ptr<ObjectFactory> factory = std::make_unique<ObjectFactory>();
};

TEST_F(PrimitiveGLTest, NoiseTexturesHeldByMaterialsStayAndUnheldOnesGoPastTheBound) {
    const std::size_t bytes = 16u * 16u * 4u;
    const std::size_t fit = 6;
    NoiseGenerator::CacheBounds bounds;
    bounds.textureBytes = fit * bytes + bytes / 2;
    noise.reset();
    noise = std::make_unique<NoiseGenerator>(bounds);
    const NoiseGrid* grid = noise->GetFractalNoise(16, 16, 1, 0.5f, false);
    ASSERT_NE(grid, nullptr);
    auto colour = [](std::size_t i) { return D3DXCOLOR(static_cast<float>(i) / 256.0f, 0, 0, 1); };
    for (std::size_t i = 0; i < fit + 4; ++i) ASSERT_TRUE(noise->GetTextureView(grid, colour(i), colour(i))) << i;
    EXPECT_EQ(noise->TextureBytes(), fit * bytes);

    std::vector<std::shared_ptr<GpuShaderResourceView>> held;
    for (std::size_t i = 0; i < fit; ++i) held.push_back(noise->GetTextureView(grid, colour(100 + i), colour(i)));
    // Every cached texture is held: the next one is not made, the held stay.
    EXPECT_EQ(noise->GetTextureView(grid, colour(99), colour(99)), nullptr);
    EXPECT_EQ(noise->GetTextureView(grid, colour(100), colour(0)), held.front());
    held.pop_back();
    EXPECT_NE(noise->GetTextureView(grid, colour(99), colour(99)), nullptr);
    EXPECT_EQ(noise->TextureBytes(), fit * bytes);
}

TEST_F(PrimitiveGLTest, NoiseTexturesPastTheBoundGiveOneRowAScene) {
    LogCapture capture;
    NoiseGenerator::CacheBounds bounds;
    bounds.textureBytes = 2 * 16 * 16 * 4;
    noise.reset();
    noise = std::make_unique<NoiseGenerator>(bounds);
    const NoiseGrid* grid = noise->GetFractalNoise(16, 16, 1, 0.5f, false);
    ASSERT_NE(grid, nullptr);
    auto colour = [](int i) { return D3DXCOLOR(static_cast<float>(i) / 256.0f, 0, 0, 1); };
    // Two held textures fill the cache: each later one is refused.
    std::vector<std::shared_ptr<GpuShaderResourceView>> held;
    for (int i = 0; i < 2; ++i) held.push_back(noise->GetTextureView(grid, colour(i), colour(i), 40));
    GraphicsSystem graphics;
    for (int scene = 0; scene < 2; ++scene) {
        graphics.Clear();  // a scene clear
        for (int i = 0; i < 5; ++i) EXPECT_EQ(noise->GetTextureView(grid, colour(10 + i), colour(i), 41 + i), nullptr);
    }
    std::vector<std::string> rows;
    ASSERT_TRUE(capture.FinishMessages(rows));
    EXPECT_EQ(LogCapture::CountContaining(rows, "noise texture for object"), 2u) << "one a scene";
    EXPECT_EQ(LogCapture::CountContaining(rows, "noise texture for object 41 is not made"), 2u) << "the first refused";
}

TEST_F(PrimitiveGLTest, ModelKeepsItsNoiseTextureWhileTheGeneratorDropsOthers) {
    NoiseGenerator::CacheBounds bounds;
    bounds.textureBytes = 4 * 16 * 16 * 4;
    noise.reset();
    noise = std::make_unique<NoiseGenerator>(bounds);
    Primitive* p = NoisySphere();
    p->noiseGlowmap = true;
    Model* model = Build(p);
    ASSERT_NE(model->material.generatedDiffuse, nullptr);
    EXPECT_EQ(model->material.diffuse, model->material.generatedDiffuse.get());
    EXPECT_EQ(model->material.glow, model->material.generatedGlow.get());
    // Another grid's textures fill the cache: the model's stay alive.
    const NoiseGrid* other = noise->GetFractalNoise(16, 16, 1, 0.25f, false);
    for (int i = 0; i < 8; ++i)
        noise->GetTextureView(other, D3DXCOLOR(static_cast<float>(i) / 64.0f, 0, 0, 1), D3DXCOLOR(0, 0, 0, 1));
    EXPECT_EQ(model->material.generatedDiffuse.use_count(), 2);  // the model and the cache
    EXPECT_EQ(noise->TextureBytes(), bounds.textureBytes);
    EXPECT_FALSE(Texels(model->material.diffuse).empty());
}

}  // namespace

TEST_F(PrimitiveGLTest, NoiseWithoutGradientIsAFlatFieldOfTheColour) {
    Model* model = Build(NoisySphere());
    ASSERT_NE(model, nullptr);
    ASSERT_NE(model->vertexBuffer, nullptr);
    const auto texels = Texels(model->material.diffuse);
    ASSERT_EQ(texels.size(), 16u * 16u * 4u);
    for (size_t i = 0; i < texels.size(); i += 4) {
        ASSERT_EQ(texels[i], 255);
        ASSERT_EQ(texels[i + 1], 0);
        ASSERT_EQ(texels[i + 2], 0);
    }
    // No glow map asked for: the solid black stand-in.
    EXPECT_EQ(model->material.glow, resources->GetSolidColorTexture(0, 0, 0, 1));
}

TEST_F(PrimitiveGLTest, GradientBlendsTheNoiseAndSettingsShareTheirTextures) {
    Primitive* first = NoisySphere();
    first->gradient = true;
    first->noiseGlowmap = true;
    Model* a = Build(first);
    const auto texels = Texels(a->material.diffuse);
    ASSERT_FALSE(texels.empty());
    int reds = 0, blues = 0;
    for (size_t i = 0; i < texels.size(); i += 4) {
        const int sum = texels[i] + texels[i + 2];  // (1 - g) 255 and g 255, each truncated
        EXPECT_TRUE(sum == 254 || sum == 255) << i;
        reds += texels[i] > 128;
        blues += texels[i + 2] > 128;
    }
    EXPECT_GT(reds, 0);
    EXPECT_GT(blues, 0);
    const auto glow = Texels(a->material.glow);
    ASSERT_FALSE(glow.empty());
    for (size_t i = 0; i < glow.size(); i += 4) EXPECT_LE(glow[i], 25);  // black to 0.1

    Primitive* second = static_cast<Primitive*>(first->Clone());
    Model* b = Build(second);
    EXPECT_EQ(b->material.diffuse, a->material.diffuse);  // one texture per grid and colours
    EXPECT_EQ(b->material.glow, a->material.glow);
}

TEST_F(PrimitiveGLTest, WideGridFillsATextureThatHoldsEveryCell) {
    Primitive* p = NoisySphere();
    p->width = 64;
    p->height = 4;
    p->gradient = true;
    p->color = D3DXCOLOR(0, 0, 0, 1);
    p->endColor = D3DXCOLOR(1, 1, 1, 1);
    Model* model = Build(p);
    unsigned w = 0, h = 0;
    const auto texels = Texels(model->material.diffuse, &w, &h);
    EXPECT_EQ(w, 4u);
    EXPECT_EQ(h, 64u);
    ASSERT_EQ(texels.size(), 64u * 4u * 4u);
    const NoiseGrid* grid = noise->GetFractalNoise(64, 4, 3, 0.5f, false);
    ASSERT_NE(grid, nullptr);
    for (u32 x = 0; x < 64; ++x)
        for (u32 y = 0; y < 4; ++y)
            EXPECT_EQ(texels[(x * w + y) * 4], static_cast<std::uint8_t>(grid->At(x, y) * 255.0f)) << x << "," << y;
}

TEST_F(PrimitiveGLTest, WithoutNoiseTheSolidColourOrTheMaterialTexturesAreUsed) {
    auto* solid = new Primitive();
    solid->primType = Primitive::kQuad;
    solid->color = D3DXCOLOR(0, 1, 0, 1);
    Model* a = Build(solid);
    EXPECT_EQ(a->material.diffuse, resources->GetSolidColorTexture(0, 1, 0, 1));

    auto* textured = new Primitive();
    textured->primType = Primitive::kCube;
    textured->solidColor = false;
    textured->material.normalFileName = "randnormals";
    textured->material.glowFileName = "randnormals";
    Model* b = Build(textured);
    EXPECT_NE(b->material.normal, nullptr);
    EXPECT_EQ(b->material.normal, resources->GetTexture("randnormals"));
    // The glow slot is the primitive's own, whatever the material names.
    EXPECT_EQ(b->material.glow, resources->GetSolidColorTexture(0, 0, 0, 1));
    EXPECT_TRUE(b->material.normalLocked);
}

// Fifty like spheres of the most stacks and slices held fifty meshes (3.1 GB
// resident) and fifty distinct ones as many: the like ones share one mesh
// and the distinct ones stop at the budget of primitive vertices.
TEST_F(PrimitiveGLTest, FiftyLargeSpheresLikeOrDistinctStayWithinBoundedResidentMemory) {
    const std::size_t bound = ResidentBytes() + (400u << 20);
    for (int i = 0; i < 100; ++i) {
        auto* sphere = new Primitive();
        sphere->stacks = sphere->slices = Primitive::kMaxStacksOrSlices;
        sphere->r = i < 50 ? 1.0f : static_cast<float>(i);
        Model* model = Build(sphere);
        if (i < 50) {
            ASSERT_NE(model, nullptr) << i;
        }
        ASSERT_LT(ResidentBytes(), bound) << "after sphere " << i;
    }
}
