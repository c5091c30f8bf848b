// A small scene from the asset tree (the ship model with its textures, a
// noise planet, two plain spheres, a point light, the sun, the sky box and a
// title) drawn headless and saved as frame_picture.png in the test's working
// directory (the build tree), for anyone to look at; the test also checks the
// picture's broad layout.
#include <gtest/gtest.h>

#include "port/gpu/GpuPicture.h"
#include "render/ModelCache.h"
#include "render/NoiseGenerator.h"
#include "render/Primitive.h"
#include "render/ScreenText.h"
#include "render/Skybox.h"
#include "scene/DevozizuDave.h"
#include "tests/render/FrameTestRig.h"

namespace {

class FramePictureGLTest : public FrameTestRig {
protected:
    void SetUp() override {
        folders->model = AssetFolder("model", ".bin");
        folders->texture = AssetFolder("texture", ".dds");
        folders->skybox = AssetFolder("skybox", "");
        folders->particle = AssetFolder("particle", ".dds");
        resources.reset();  // one RenderResources at a time (global instance)
        resources = std::make_unique<RenderResources>(folders->texture, folders->particle);
    }
    void TearDown() override {
        engine.reset();
        overlord.reset();
        graveyard.reset();
        models->Clear();
        FrameTestRig::TearDown();
    }

    std::unique_ptr<DevozizuDave> folders = std::make_unique<DevozizuDave>();
    std::unique_ptr<ModelCache> models = std::make_unique<ModelCache>();
    std::unique_ptr<NoiseGenerator> noise = std::make_unique<NoiseGenerator>();
};

TEST_F(FramePictureGLTest, TestSceneIsDrawnAndSaved) {
    fonts = std::make_unique<FontManager>();
    Start(320, 240);
    LookFrom(D3DXVECTOR3(-1.5f, 2.5f, -8), D3DXVECTOR3(1.5f, 0.5f, 4));

    auto* sky = new Skybox();
    sky->filename = "Sky.dds";
    AddObject(D3DXVECTOR3(0, 0, 0), 1.0f, {sky})->Init();

    auto* ship = new Model();
    ship->filename = "Ship";
    GameObject* shipObject = AddObject(D3DXVECTOR3(0, 0, 0), 1.0f, {ship});
    const D3DXVECTOR3 up(0, 1, 0);
    D3DXQuaternionRotationAxis(&shipObject->GetComponent<Transform>()->rotation, &up, 0.6f);
    shipObject->Init();
    ASSERT_GT(ship->vertexCount, 0u) << "Ship.bin from the model folder";

    auto* planet = new Primitive();
    planet->noisy = planet->gradient = true;
    planet->solidColor = false;
    planet->stacks = planet->slices = 32;
    planet->r = 3.0f;
    planet->width = planet->height = 128;
    planet->octaves = 6;
    planet->persist = 0.5f;
    planet->color = D3DXCOLOR(0.2f, 0.45f, 0.8f, 1);
    planet->endColor = D3DXCOLOR(0.9f, 0.75f, 0.45f, 1);
    GameObject* planetObject = AddObject(D3DXVECTOR3(7, 3, 14), 1.0f, {planet});
    planetObject->Init();
    planetObject->AnnounceComponents();

    AddObject(D3DXVECTOR3(-3.5f, -0.5f, 2.5f), 1.0f,
              {Coloured(MeshBuilder::Sphere(24, 24, 1, 1, 1), D3DXCOLOR(0.9f, 0.2f, 0.15f, 1))});
    AddObject(D3DXVECTOR3(3.0f, -1.0f, 0.5f), 0.7f,
              {Coloured(MeshBuilder::Sphere(24, 24, 1, 1, 1), D3DXCOLOR(0.85f, 0.85f, 0.8f, 1),
                        D3DXCOLOR(0.1f, 0.5f, 0.9f, 1))});
    AddLight(D3DXVECTOR3(0, 1.5f, -2.5f), 6.0f, D3DXCOLOR(1, 0.55f, 0.2f, 1));
    AddGlobalLight(D3DXVECTOR3(-0.5f, 1, -0.6f), 0.9f, 0.25f);

    GameObject* title = CreateTextObject(-150, 95, 0, "lucon.ttf", 14);
    title->GetComponent<Transform>()->isInScreenSpace = true;
    title->GetComponent<ScreenText>()->SetText("Kestrelvax frame");
    title->GetComponent<ScreenText>()->SetFontColor(D3DXCOLOR(1, 0.85f, 0.4f, 1));
    title->Init();
    title->AnnounceComponents();

    Draw(0.016f);
    const Picture picture = Draw(0.016f);
    std::string error;
    EXPECT_TRUE(GpuPicture::SavePng(*graphics->GetSwapChain()->GetBuffer(), "frame_picture.png", &error)) << error;
    EXPECT_EQ(graphics->GetDevice()->DrainErrors(), 0u);

    // The sky fills the corners; the title's glyphs are in the top left;
    // the scene in the middle is lit.
    EXPECT_GT(picture.Mean(316, 236, 2) + picture.Mean(316, 4, 2), 60);
    int titlePixels = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 160; ++x) {
            const Rgb c = picture.At(x, y);
            titlePixels += c.r > 200 && c.g > 150 && c.b < 150;
        }
    EXPECT_GT(titlePixels, 40);
    EXPECT_GT(picture.Mean(170, 130, 20), 60);
}

}  // namespace
