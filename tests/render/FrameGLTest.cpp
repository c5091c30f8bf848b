// Whole frames drawn headless at 320 x 240 and judged by their pixels, with
// tolerances: directional and point lighting, glow, the sky box, ambient
// occlusion in a crease and screen text.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/Overlord.h"
#include "render/frame/FramePipeline.h"
#include "render/light/Skybox.h"
#include "render/text/FontManager.h"
#include "render/text/ScreenText.h"
#include "tests/render/FrameTestRig.h"
#include "tests/support/TempFolder.h"

namespace {

class FrameGLTest : public FrameTestRig {
protected:
    // Screen position (pixels, top-left origin) of a world point in the last frame.
    D3DXVECTOR2 ScreenOf(const D3DXVECTOR3& world) {
        const FrameMatrices& m = graphics->GetPipeline().Matrices();
        D3DXVECTOR4 clip;
        D3DXVec3Transform(&clip, &world, &m.viewProjection);
        const float w = static_cast<float>(graphics->GetWidth()), h = static_cast<float>(graphics->GetHeight());
        return D3DXVECTOR2((clip.x / clip.w * 0.5f + 0.5f) * w, (0.5f - clip.y / clip.w * 0.5f) * h);
    }
    // Pixels not black in a frame drawn over a white back buffer.
    int LitPixelsOfAFrameOverWhite() {
        const float white[4] = {1, 1, 1, 1};
        graphics->GetDevice()->ClearRenderTargetView(graphics->GetTargets().backBuffer.get(), white);
        const Picture picture = Draw();
        int lit = 0;
        for (int y = 0; y < picture.Height(); ++y)
            for (int x = 0; x < picture.Width(); ++x) lit += picture.At(x, y).Sum() != 0;
        return lit;
    }
    // The GraphicsSystem's effects loaded again from `shaders`.
    void LoadEffectsFrom(const FilePath& shaders) {
        loader.reset();
        loader = std::make_unique<EffectLoader>(shaders);
        loader->SetDevice(graphics->GetDevice()->shared_from_this());
        graphics->LoadEffects();
    }
    double MeanAt(const Picture& picture, const D3DXVECTOR3& world, int half = 2) {
        const D3DXVECTOR2 p = ScreenOf(world);
        return picture.Mean(static_cast<int>(p.x), static_cast<int>(p.y), half);
    }
};

// Whatever the back buffer held before, an empty scene's frame is black in
// every pixel: the combine covers it all, and without the combine (no effects
// loaded) the frame is cleared instead.
TEST_F(FrameGLTest, EmptyFrameIsBlackInEveryPixelWithTheCombine) {
    Start();
    graphics->FinishStart();
    ASSERT_TRUE(graphics->GetEffects().Technique(TechniqueId::CombineDeferred)->IsValid());
    EXPECT_EQ(LitPixelsOfAFrameOverWhite(), 0);
}

TEST_F(FrameGLTest, EmptyFrameIsBlackInEveryPixelWithoutTheCombine) {
    FilePath shaders = AssetFolder("shader", ".fx");
    shaders.baseFolder = "/nonexistent/";
    loader = std::make_unique<EffectLoader>(shaders);
    Start();
    ASSERT_FALSE(graphics->GetEffects().Technique(TechniqueId::CombineDeferred)->IsValid());
    EXPECT_EQ(LitPixelsOfAFrameOverWhite(), 0);
}

// A material without a normal map keeps its surface normals: its models are
// drawn by the geometry step's lighter pass, and must look exactly as when
// the stand-in map itself is bound and read (a flat normal); a real map
// still bends the light. Spheres, a box and a wall under the sun and a point
// light, from two places.
TEST_F(FrameGLTest, ModelsWithoutANormalMapDrawAsWithTheFlatStandIn) {
    Start();
    std::vector<Model*> models;
    auto add = [&](const D3DXVECTOR3& at, float scale, Model* model, const D3DXCOLOR& colour) {
        models.push_back(Coloured(model, colour));
        AddObject(at, scale, {models.back()});
    };
    const D3DXVECTOR3 wall[4] = {{-8, 8, 2}, {8, 8, 2}, {8, -8, 2}, {-8, -8, 2}};
    add(D3DXVECTOR3(0, 0, 0), 1.0f, FlatQuad(wall), D3DXCOLOR(0.9f, 0.9f, 0.9f, 1));
    add(D3DXVECTOR3(-1.5f, 0.5f, 0), 1.0f, MeshBuilder::Sphere(20, 20, 1, 1, 1), D3DXCOLOR(0.8f, 0.3f, 0.3f, 1));
    add(D3DXVECTOR3(1.5f, -0.5f, -1), 0.7f, MeshBuilder::Cube(), D3DXCOLOR(0.3f, 0.8f, 0.4f, 1));
    AddGlobalLight(D3DXVECTOR3(-0.4f, 1, -0.7f), 0.6f, 0.4f);
    AddLight(D3DXVECTOR3(0.5f, 1, -2), 4.0f, D3DXCOLOR(0.6f, 0.6f, 1, 1));
    const std::pair<D3DXVECTOR3, D3DXVECTOR3> views[] = {
        {D3DXVECTOR3(0, 1, -8), D3DXVECTOR3(0, 0, 0)},
        {D3DXVECTOR3(5, 3, -5), D3DXVECTOR3(0, 0, 0)},
    };
    std::vector<Picture> kept;
    for (const auto& [eye, at] : views) {
        LookFrom(eye, at);
        kept.push_back(Draw());
    }

    RenderResources* resources = RenderResources::Instance();
    const D3DXCOLOR flat = resources->defaultNormalColor;
    for (Model* model : models) model->material.normal = resources->GetSolidColorTexture(flat.r, flat.g, flat.b, 1);
    for (size_t v = 0; v < std::size(views); ++v) {
        LookFrom(views[v].first, views[v].second);
        EXPECT_EQ(Draw().Bytes(), kept[v].Bytes()) << "view " << v;
    }
    for (Model* model : models) model->material.normal = resources->GetSolidColorTexture(0.8f, 0.5f, 0.75f, 1);
    LookFrom(views[0].first, views[0].second);
    EXPECT_NE(Draw().Bytes(), kept[0].Bytes()) << "a tilting map bends the light";
    EXPECT_EQ(graphics->GetDevice()->DrainErrors(), 0u);
}

TEST_F(FrameGLTest, LitSideOfASphereIsBrighterThanItsFarSide) {
    Start();
    LookFrom(D3DXVECTOR3(0, 0, -5), D3DXVECTOR3(0, 0, 0));
    AddObject(D3DXVECTOR3(0, 0, 0), 1.0f, {Coloured(MeshBuilder::Sphere(20, 20, 1, 1, 1), D3DXCOLOR(1, 1, 1, 1))});
    AddGlobalLight(D3DXVECTOR3(-1, 0, 0), 0.8f, 0.2f);  // the light is on the left (-x)
    const Picture picture = Draw();
    const double left = MeanAt(picture, D3DXVECTOR3(-0.6f, 0, -0.8f));
    const double right = MeanAt(picture, D3DXVECTOR3(0.6f, 0, -0.8f));
    EXPECT_GT(left, right + 150) << "left " << left << " right " << right;
    EXPECT_GT(right, 20) << "the far side keeps its ambient light";
    EXPECT_LT(picture.Mean(5, 5), 3) << "nothing drawn in the corner";
    EXPECT_EQ(graphics->GetDevice()->DrainErrors(), 0u);
}

TEST_F(FrameGLTest, PointLightLightsItsRadiusAndNotBeyond) {
    Start();
    LookFrom(D3DXVECTOR3(0, 0, -10), D3DXVECTOR3(0, 0, 0));
    const D3DXVECTOR3 wall[4] = {{-6, 6, 0}, {6, 6, 0}, {6, -6, 0}, {-6, -6, 0}};
    AddObject(D3DXVECTOR3(0, 0, 0), 1.0f, {Coloured(FlatQuad(wall), D3DXCOLOR(1, 1, 1, 1))});
    AddGlobalLight(D3DXVECTOR3(0, 0, -1), 0.0f, 0.0f);  // no light but the point light
    // 1 unit in front of the wall: it lights a disc of radius sqrt(3 * 3 - 1) on it.
    AddLight(D3DXVECTOR3(2, 1.5f, -1), 3.0f, D3DXCOLOR(1, 1, 1, 1));
    const Picture picture = Draw();
    EXPECT_GT(MeanAt(picture, D3DXVECTOR3(2, 1.5f, 0)), 300);
    EXPECT_GT(MeanAt(picture, D3DXVECTOR3(2, 1.5f + 1.5f, 0)), 60) << "within the radius";
    EXPECT_GT(MeanAt(picture, D3DXVECTOR3(2 - 1.5f, 1.5f, 0)), 60) << "within the radius";
    EXPECT_LT(MeanAt(picture, D3DXVECTOR3(2, 1.5f - 3.0f, 0)), 2) << "beyond the radius (and not mirrored)";
    EXPECT_LT(MeanAt(picture, D3DXVECTOR3(2 - 3.0f, 1.5f, 0)), 2) << "beyond the radius";
    EXPECT_LT(MeanAt(picture, D3DXVECTOR3(-3, -3, 0)), 2);
}

// The shader folder's effects copied into `folder`, the deferred effect's text
// `from` (which must be there) replaced by `to`.
FilePath EffectsWithDeferredEdit(const std::string& folder, const std::string& from, const std::string& to) {
    const FilePath source = AssetFolder("shader", ".fx");
    std::filesystem::create_directories(folder + "/shader");
    for (const char* name : {"UIShader", "DeferredShader", "ParticleIntegration"}) {
        std::ifstream in(source.baseFolder + source.path + name + ".fx", std::ios::binary);
        if (!in) ADD_FAILURE() << "cannot read " << source.baseFolder + source.path + name + ".fx";
        std::stringstream text;
        text << in.rdbuf();
        std::string effect = text.str();
        if (std::string(name) == "DeferredShader") {
            const size_t at = effect.find(from);
            if (at == std::string::npos)
                ADD_FAILURE() << "the deferred effect lacks " << from;
            else
                effect.replace(at, from.size(), to);
        }
        std::ofstream(folder + "/shader/" + name + ".fx", std::ios::binary) << effect;
    }
    FilePath shaders = source;
    shaders.baseFolder = folder + "/";
    return shaders;
}

// The lights without their depth test: they shade every pixel their sphere covers.
FilePath EffectsWithoutTheLightsDepthTest(const std::string& folder) {
    return EffectsWithDeferredEdit(folder, "depthEnable = true, depthWrite = \"ZERO\", depthFunc = \"GREATER_EQUAL\"",
                                   "depthEnable = false, depthWrite = \"ZERO\"");
}

// Without the step that works out each pixel's view-space position and normal
// for the lights and the occlusion.
FilePath EffectsWithoutTheLightInputs(const std::string& folder) {
    return EffectsWithDeferredEdit(folder, "\"LightInputs\"", "\"NoLightInputs\"");
}

// The lights are tested against the depth buffer, so that pixels whose scene
// point lies behind a light's sphere are never shaded; what they draw must be
// what lights without the test, shading every pixel their sphere covers, draw,
// byte for byte:
// lights meeting a wall, one wholly in front of it, one meeting a box in front
// of the wall, one behind the wall, seen from outside every sphere, from inside
// one and from one whose sphere the near plane cuts.
TEST_F(FrameGLTest, DepthTestedLightsDrawWhatLightsShadingEveryCoveredPixelDraw) {
    Start();
    const D3DXVECTOR3 wall[4] = {{-8, 8, 0}, {8, 8, 0}, {8, -8, 0}, {-8, -8, 0}};
    AddObject(D3DXVECTOR3(0, 0, 0), 1.0f, {Coloured(FlatQuad(wall), D3DXCOLOR(1, 1, 1, 1))});
    AddObject(D3DXVECTOR3(-2.5f, 2, -2), 0.6f, {Coloured(MeshBuilder::Cube(), D3DXCOLOR(0.8f, 0.7f, 0.6f, 1))});
    AddGlobalLight(D3DXVECTOR3(0, 0, -1), 0.0f, 0.0f);  // no light but the point lights
    AddLight(D3DXVECTOR3(2, 1.5f, -1), 3.0f, D3DXCOLOR(1, 1, 1, 1));
    AddLight(D3DXVECTOR3(1, -2.5f, -0.5f), 2.0f, D3DXCOLOR(0.2f, 1, 0.4f, 1));
    AddLight(D3DXVECTOR3(-3, -2, -6), 1.5f, D3DXCOLOR(1, 0.3f, 0.3f, 1));  // touches nothing
    AddLight(D3DXVECTOR3(-2.5f, 2, -3.5f), 2.0f, D3DXCOLOR(0.4f, 0.5f, 1, 1));
    AddLight(D3DXVECTOR3(0, -3, 1), 2.0f, D3DXCOLOR(1, 1, 0, 1));  // behind the wall
    const std::pair<D3DXVECTOR3, D3DXVECTOR3> views[] = {
        {D3DXVECTOR3(0, 0, -10), D3DXVECTOR3(0, 0, 0)},
        {D3DXVECTOR3(2.5f, 1, -2.5f), D3DXVECTOR3(2, 1.5f, 0)},  // inside the first light
        {D3DXVECTOR3(-3, -2, -8), D3DXVECTOR3(0, 0, 0)},         // the near plane cuts the third
    };
    std::vector<Picture> tested;
    for (const auto& [eye, at] : views) {
        LookFrom(eye, at);
        tested.push_back(Draw());
    }
    EXPECT_GT(MeanAt(tested.back(), D3DXVECTOR3(2, 1.5f, 0)), 0);
    LookFrom(views[0].first, views[0].second);
    EXPECT_GT(MeanAt(Draw(), D3DXVECTOR3(2, 1.5f, 0)), 300) << "the lights light";

    TempFolder folder;
    LoadEffectsFrom(EffectsWithoutTheLightsDepthTest(folder.Path()));
    ASSERT_TRUE(graphics->GetEffects().Technique(TechniqueId::DeferredLightingBuffer)->IsValid());
    for (size_t v = 0; v < std::size(views); ++v) {
        LookFrom(views[v].first, views[v].second);
        const Picture everyPixel = Draw();
        EXPECT_EQ(everyPixel.Bytes(), tested[v].Bytes()) << "view " << v;
    }
    EXPECT_EQ(graphics->GetDevice()->DrainErrors(), 0u);
}

// The light volumes as they were drawn with each light's values carried to
// its pixels as flat inputs, the view-space centre worked out per vertex.
FilePath EffectsWithLightsCarryingTheirValues(const std::string& folder) {
    return EffectsWithDeferredEdit(folder, R"(flat out int vLightIndex;
void main() {
    // The polygon sphere lies inside the unit sphere: grow it a little.
    vec3 world = POSITION * (TEXCOORD2.w * 1.02) + TEXCOORD1;
    gl_Position = vec4(world, 1.0) * gViewProjection;
    vLightIndex = gl_InstanceID;
}
]],
        ps = [[
layout(early_fragment_tests) in;
flat in int vLightIndex;
out vec4 outLight;
void main() {
    // The light's view-space centre and radius squared; its colour and radius.
    vec4 lightView = pointLights[2 * vLightIndex];
    vec4 light = pointLights[2 * vLightIndex + 1];
)",
                                   R"(flat out vec4 lightView;
flat out vec4 light;
void main() {
    vec3 world = POSITION * (TEXCOORD2.w * 1.02) + TEXCOORD1;
    gl_Position = vec4(world, 1.0) * gViewProjection;
    float radius = max(TEXCOORD2.w, 1e-4);
    lightView = vec4((vec4(TEXCOORD1, 1.0) * gView).xyz, radius * radius);
    light = vec4(TEXCOORD2.rgb, radius);
}
]],
        ps = [[
layout(early_fragment_tests) in;
flat in vec4 lightView;
flat in vec4 light;
out vec4 outLight;
void main() {
)");
}

// Each light's pixels read its view-space centre, radius and colour from the
// records the lighting step writes, by the light's instance number; they must
// light exactly as lights carrying those values from the vertex stage did,
// byte for byte: over two thousand lights of every colour and size, some with
// a negative or no range, in two batches (the records are written again for
// the second), seen from two places.
TEST_F(FrameGLTest, LightsReadingTheirRecordsLightAsLightsCarryingTheirValues) {
    Start();
    const D3DXVECTOR3 wall[4] = {{-8, 8, 0}, {8, 8, 0}, {8, -8, 0}, {-8, -8, 0}};
    AddObject(D3DXVECTOR3(0, 0, 0), 1.0f, {Coloured(FlatQuad(wall), D3DXCOLOR(1, 1, 1, 1))});
    AddObject(D3DXVECTOR3(-2, 1, -1.5f), 1.0f, {Coloured(MeshBuilder::Sphere(12, 12, 1, 1, 1), D3DXCOLOR(1, 1, 1, 1))});
    AddGlobalLight(D3DXVECTOR3(0, 0, -1), 0.0f, 0.0f);  // no light but the point lights
    const u32 lights = GraphicsSystem::kMaxLightInstances + 7;
    for (u32 i = 0; i < lights; ++i) {
        const float a = static_cast<float>(i) * 0.61803f, t = static_cast<float>(i) / static_cast<float>(lights);
        const float range = i % 97 == 0 ? -0.8f : i % 89 == 0 ? 0.0f : 0.2f + 0.8f * (t * 7 - std::floor(t * 7));
        const float out = std::sqrt(t);
        AddLight(D3DXVECTOR3(3.5f * std::sin(a * 5) * out, 3 * std::cos(a * 3) * out, -0.1f - 0.6f * t), range,
                 D3DXCOLOR(0.05f + 0.05f * std::sin(a), 0.05f + 0.05f * std::cos(a * 2), 0.1f * t, 1));
    }
    const std::pair<D3DXVECTOR3, D3DXVECTOR3> views[] = {
        {D3DXVECTOR3(0, 0, -12), D3DXVECTOR3(0, 0, 0)},
        {D3DXVECTOR3(4, -3, -11), D3DXVECTOR3(0.5f, 0, 0)},
    };
    std::vector<Picture> tested;
    for (const auto& [eye, at] : views) {
        LookFrom(eye, at);
        tested.push_back(Draw());
        EXPECT_EQ(graphics->GetPipeline().Lights().BatchCount(), 2u);
    }
    EXPECT_GT(tested[0].Mean(160, 120, 40), 100) << "the lights light";

    TempFolder folder;
    LoadEffectsFrom(EffectsWithLightsCarryingTheirValues(folder.Path()));
    ASSERT_TRUE(graphics->GetEffects().Technique(TechniqueId::DeferredLightingBuffer)->IsValid());
    for (size_t v = 0; v < std::size(views); ++v) {
        LookFrom(views[v].first, views[v].second);
        EXPECT_EQ(Draw().Bytes(), tested[v].Bytes()) << "view " << v;
    }
    EXPECT_EQ(graphics->GetDevice()->DrainErrors(), 0u);
}

TEST_F(FrameGLTest, GlowBleedsIntoItsSurroundingsOnlyWithGlowOn) {
    Start();
    LookFrom(D3DXVECTOR3(0, 0, -5), D3DXVECTOR3(0, 0, 0));
    AddGlobalLight(D3DXVECTOR3(0, 0, -1), 0.0f, 0.0f);
    // A glowing cube and a grey neighbour to its right.
    AddObject(D3DXVECTOR3(-0.6f, 0, 0), 0.5f,
              {Coloured(MeshBuilder::Cube(), D3DXCOLOR(0, 0, 0, 1), D3DXCOLOR(1, 1, 1, 1))});
    AddObject(D3DXVECTOR3(0.6f, 0, 0), 0.5f, {Coloured(MeshBuilder::Cube(), D3DXCOLOR(0.5f, 0.5f, 0.5f, 1))});
    const Picture glowing = Draw();
    const D3DXVECTOR2 edge = ScreenOf(D3DXVECTOR3(-0.1f, 0, -0.5f));      // the glowing cube's right edge
    const D3DXVECTOR2 above = ScreenOf(D3DXVECTOR3(-0.6f, 0.5f, -0.5f));  // its top edge
    const int x = static_cast<int>(edge.x), y = static_cast<int>(edge.y), top = static_cast<int>(above.y);
    EXPECT_GT(glowing.Mean(x - 6, y, 1), 600) << "inside the glowing face";
    EXPECT_GT(glowing.Mean(x + 5, y, 1), 40) << "the gap between the cubes";
    EXPECT_GT(glowing.Mean(x + 10, y, 1), 8) << "onto the unlit neighbour";
    EXPECT_GT(glowing.Mean(static_cast<int>(above.x), top - 4, 1), 40) << "above it";

    graphics->SetGlow(false);
    const Picture plain = Draw();
    EXPECT_GT(plain.Mean(x - 6, y, 1), 600);
    EXPECT_LT(plain.Mean(x + 5, y, 1), 2);
    EXPECT_LT(plain.Mean(x + 10, y, 1), 2);
    EXPECT_LT(plain.Mean(static_cast<int>(above.x), top - 4, 1), 2);
}

// Faces +x red, -x green, +y blue, -y yellow, +z magenta, -z cyan.
std::shared_ptr<GpuShaderResourceView> ColourCube(GpuDevice& device) {
    static const std::uint8_t kFaces[6][4] = {{255, 0, 0, 255},   {0, 255, 0, 255},   {0, 0, 255, 255},
                                              {255, 255, 0, 255}, {255, 0, 255, 255}, {0, 255, 255, 255}};
    std::vector<std::uint8_t> faces[6];
    GpuSubresourceData data[6];
    for (int f = 0; f < 6; ++f) {
        for (int texel = 0; texel < 16; ++texel) faces[f].insert(faces[f].end(), kFaces[f], kFaces[f] + 4);
        data[f] = {faces[f].data(), 16, 64};
    }
    GpuTextureDesc desc;
    desc.width = desc.height = 4;
    desc.arraySize = 6;
    desc.miscFlags = GpuMiscTextureCube;
    desc.usage = GpuUsage::Immutable;
    GpuSrvDesc view;
    view.dimension = GpuSrvDimension::TextureCube;
    return device.CreateShaderResourceView(device.CreateTexture(desc, data), &view);
}

TEST_F(FrameGLTest, SkyBoxFillsTheBackgroundBehindTheGeometry) {
    Start();
    std::shared_ptr<GpuShaderResourceView> cube = ColourCube(*graphics->GetDevice());
    auto* sky = new Skybox();
    MeshBuilder::SkyboxCube(*sky);
    sky->material.diffuse = cube.get();
    // Placed away from the eye and small: the sky is still all around.
    AddObject(D3DXVECTOR3(30, 0, 0), 2.0f, {sky});
    AddObject(D3DXVECTOR3(0, 0, 5), 1.0f, {Coloured(MeshBuilder::Sphere(20, 20, 1, 1, 1), D3DXCOLOR(1, 1, 1, 1))});
    AddGlobalLight(D3DXVECTOR3(0, 0, -1), 0.0f, 1.0f);
    LookFrom(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 1));

    Picture picture = Draw();
    for (auto [x, y] :
         {std::pair{5, 5}, std::pair{314, 5}, std::pair{5, 234}, std::pair{314, 234}, std::pair{60, 120}}) {
        const Rgb c = picture.At(x, y);
        EXPECT_TRUE(c.r > 240 && c.g < 15 && c.b > 240) << x << ", " << y << ": " << c.r << " " << c.g << " " << c.b;
    }
    const Rgb centre = picture.At(160, 120);
    EXPECT_TRUE(centre.r > 200 && centre.g > 200 && centre.b > 200) << "the sphere stays in front";

    LookFrom(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(1, 0, 0));
    picture = Draw();
    EXPECT_GT(picture.At(160, 120).r, 240);
    EXPECT_LT(picture.At(160, 120).g, 15);
    LookFrom(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, -1));
    picture = Draw();
    EXPECT_LT(picture.At(160, 120).r, 15);
    EXPECT_GT(picture.At(160, 120).g, 240);
}

TEST_F(FrameGLTest, MissingSkyTextureShowsItsStandInColour) {
    Start();
    auto* sky = new Skybox();
    MeshBuilder::SkyboxCube(*sky);
    sky->material.diffuse = RenderResources::Instance()->GetSolidColorTexture(0, 1, 0, 1);
    AddObject(D3DXVECTOR3(0, 0, 0), 1.0f, {sky});
    const Rgb c = Draw().At(100, 100);
    EXPECT_TRUE(c.r < 5 && c.g > 250 && c.b < 5) << c.r << " " << c.g << " " << c.b;
}

TEST_F(FrameGLTest, AmbientOcclusionDarkensACrease) {
    Start();
    // A floor (y = 0, z from 0 to 20) meeting a wall (z = 20).
    const D3DXVECTOR3 floor[4] = {{-10, 0, 20}, {10, 0, 20}, {10, 0, 0}, {-10, 0, 0}};
    const D3DXVECTOR3 wall[4] = {{-10, 20, 20}, {10, 20, 20}, {10, 0, 20}, {-10, 0, 20}};
    AddObject(D3DXVECTOR3(0, 0, 0), 1.0f, {Coloured(FlatQuad(floor), D3DXCOLOR(1, 1, 1, 1))});
    AddObject(D3DXVECTOR3(0, 0, 0), 1.0f, {Coloured(FlatQuad(wall), D3DXCOLOR(1, 1, 1, 1))});
    AddGlobalLight(D3DXVECTOR3(0, 1, 0), 0.0f, 1.0f);  // ambient light only
    LookFrom(D3DXVECTOR3(0, 4, 10), D3DXVECTOR3(0, 1, 20));
    const Picture picture = Draw();
    const double floorNear = MeanAt(picture, D3DXVECTOR3(0, 0, 19.85f), 1);
    const double floorFar = MeanAt(picture, D3DXVECTOR3(0, 0, 15), 1);
    const double wallNear = MeanAt(picture, D3DXVECTOR3(3, 0.15f, 20), 1);
    const double wallFar = MeanAt(picture, D3DXVECTOR3(3, 4, 20), 1);
    EXPECT_GT(floorFar, 700) << "open floor";
    EXPECT_GT(wallFar, 700) << "open wall";
    EXPECT_LT(floorNear, floorFar - 90) << floorNear << " vs " << floorFar;
    EXPECT_LT(wallNear, wallFar - 90) << wallNear << " vs " << wallFar;
}

// With the lighting step's per-pixel positions and normals, the occlusion is
// tested against the depth buffer and never shades the sky's pixels, which a
// clear leaves open; its frames must be those of an occlusion reading the
// depth buffer and shading every pixel, byte for byte, also where the blur
// reaches from the surfaces into the sky: a crease, a box in it and their
// edges against the empty background, two frames each.
TEST_F(FrameGLTest, DepthTestedOcclusionDrawsWhatOcclusionShadingEveryPixelDraws) {
    Start();
    const D3DXVECTOR3 floor[4] = {{-4, 0, 20}, {4, 0, 20}, {4, 0, 12}, {-4, 0, 12}};
    const D3DXVECTOR3 wall[4] = {{-4, 3, 20}, {4, 3, 20}, {4, 0, 20}, {-4, 0, 20}};
    AddObject(D3DXVECTOR3(0, 0, 0), 1.0f, {Coloured(FlatQuad(floor), D3DXCOLOR(1, 1, 1, 1))});
    AddObject(D3DXVECTOR3(0, 0, 0), 1.0f, {Coloured(FlatQuad(wall), D3DXCOLOR(1, 1, 1, 1))});
    AddObject(D3DXVECTOR3(1.5f, 0.5f, 19), 0.5f, {Coloured(MeshBuilder::Cube(), D3DXCOLOR(0.8f, 0.7f, 0.6f, 1))});
    AddGlobalLight(D3DXVECTOR3(0, 1, 0), 0.0f, 1.0f);  // ambient light only
    LookFrom(D3DXVECTOR3(0, 4, 8), D3DXVECTOR3(0, 1, 20));
    const Picture tested[2] = {Draw(), Draw()};
    const D3DXVECTOR2 sky = ScreenOf(D3DXVECTOR3(0, 5, 20));
    ASSERT_EQ(tested[0].Mean(static_cast<int>(sky.x), static_cast<int>(sky.y), 1), 0) << "background above the wall";
    EXPECT_LT(MeanAt(tested[0], D3DXVECTOR3(-2, 0, 19.85f), 1), MeanAt(tested[0], D3DXVECTOR3(-2, 0, 15), 1) - 90)
        << "the crease is occluded";

    TempFolder folder;
    LoadEffectsFrom(EffectsWithoutTheLightInputs(folder.Path()));
    ASSERT_FALSE(graphics->GetEffects().Technique(TechniqueId::LightInputs)->IsValid());
    ASSERT_TRUE(graphics->GetEffects().Technique(TechniqueId::DoSSAO)->IsValid());
    for (const Picture& picture : tested) EXPECT_EQ(Draw().Bytes(), picture.Bytes());
}

// What a scene brings is made ready to draw as it arrives (its shader
// variants built through a viewport of no size), between frames: a model, a
// sky box and a picture asked for the next frame change nothing in the shown
// picture until that frame draws them; so does the warm-up of the deferred
// steps after an empty frame's picture.
TEST_F(FrameGLTest, ArrivalsAreMadeReadyWithoutDrawingAnything) {
    Start();
    LookFrom(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 1));
    EXPECT_EQ(LitPixelsOfAFrameOverWhite(), 0) << "the first, empty frame";
    EXPECT_EQ(LitPixelsOfAFrameOverWhite(), 0) << "the next, after which the deferred steps are made ready";
    EXPECT_TRUE(graphics->GetPipeline().DeferredWarm());
    AddObject(D3DXVECTOR3(0, 0, 5), 1.0f, {Coloured(MeshBuilder::Sphere(20, 20, 1, 1, 1), D3DXCOLOR(1, 1, 1, 1))});
    AddGlobalLight(D3DXVECTOR3(0, 0, -1), 0.0f, 1.0f);
    const Picture before = Draw();

    std::shared_ptr<GpuShaderResourceView> cube = ColourCube(*graphics->GetDevice());
    auto* sky = new Skybox();
    MeshBuilder::SkyboxCube(*sky);
    sky->material.diffuse = cube.get();
    AddObject(D3DXVECTOR3(0, 0, 0), 1.0f, {sky});
    AddObject(D3DXVECTOR3(1, 0, 6), 1.0f, {Coloured(MeshBuilder::Cube(), D3DXCOLOR(0, 1, 0, 1))});
    AskScreenQuad(100.0f, D3DXCOLOR(1, 0, 0, 1));
    EXPECT_EQ(Grab().Bytes(), before.Bytes()) << "nothing drawn as they arrive";

    const Picture after = Draw();
    EXPECT_GT(after.At(160, 120).r, 200) << "the picture asked for this frame";
    EXPECT_GT(after.At(5, 5).r, 240) << "the sky";
    EXPECT_EQ(graphics->GetDevice()->DrainErrors(), 0u);
}

TEST_F(FrameGLTest, ScreenTextDrawsItsGlyphsWhereItIsPlacedUnderTheDefaultCamera) {
    fonts = std::make_unique<FontManager>();
    Start();
    // In screen pixels from the centre, y up: its baseline 50 above the centre, 100 left of it.
    GameObject* object = CreateTextObject(-100, 50, 0, "DejaVuSansMono.ttf", 20);
    object->GetComponent<Transform>()->isInScreenSpace = true;
    object->GetComponent<ScreenText>()->SetText("HHHH");
    object->GetComponent<ScreenText>()->SetFontColor(D3DXCOLOR(0, 1, 0, 1));
    object->Init();
    object->AnnounceComponents();
    ASSERT_NE(object->GetComponent<ScreenText>()->GetVertexBuffer(), nullptr);
    const Picture picture = Draw();
    // The glyphs stand on the baseline at y = 120 - 50 = 70, from x = 60 (a
    // 20-point size is about 27 pixels at 96 dpi: capitals about 20 high, 16 wide).
    int inside = 0, outside = 0;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) {
            const Rgb c = picture.At(x, y);
            if (c.g < 128 || c.r > 60) continue;
            if (x >= 58 && x < 60 + 4 * 18 && y >= 70 - 24 && y <= 71)
                ++inside;
            else
                ++outside;
        }
    EXPECT_GT(inside, 100);
    EXPECT_EQ(outside, 0);
}

TEST_F(FrameGLTest, TextAskedForOneFrameShowsInThatFrameOnly) {
    fonts = std::make_unique<FontManager>();
    Start();
    GameObject* object = CreateTextObject(0, -50, 10, "DejaVuSansMono.ttf", 20);
    object->GetComponent<ScreenText>()->SetText("I");
    object->GetComponent<ScreenText>()->SetFontColor(D3DXCOLOR(1, 1, 1, 1));
    object->Init();  // not announced: drawn only when asked for
    auto lit = [](const Picture& picture) {
        int count = 0;
        for (int y = 140; y < 175; ++y)
            for (int x = 150; x < 180; ++x) count += picture.At(x, y).Sum() > 300;
        return count;
    };
    SubmitObjectTextForFrame(object);
    EXPECT_GT(lit(Draw()), 20);
    EXPECT_EQ(lit(Draw()), 0);
}

TEST_F(FrameGLTest, TextAskedForOneFrameAtDepthZeroShowsWhetherNamedByObjectOrByText) {
    fonts = std::make_unique<FontManager>();
    Start();
    // z 0, as the heads-up display and the editor's status lines place their texts.
    GameObject* object = CreateTextObject(0, -50, 0, "DejaVuSansMono.ttf", 20);
    object->GetComponent<ScreenText>()->SetText("I");
    object->GetComponent<ScreenText>()->SetFontColor(D3DXCOLOR(1, 1, 1, 1));
    object->Init();
    auto lit = [](const Picture& picture) {
        int count = 0;
        for (int y = 140; y < 175; ++y)
            for (int x = 150; x < 180; ++x) count += picture.At(x, y).Sum() > 300;
        return count;
    };
    SubmitObjectTextForFrame(object);
    EXPECT_GT(lit(Draw()), 20) << "named by its object";
    ScreenText::SubmitForFrame(object);
    EXPECT_GT(lit(Draw()), 20) << "named by its text component";
    EXPECT_EQ(lit(Draw()), 0);
}

TEST_F(FrameGLTest, DebugTextIsReadyToDrawInItsColour) {
    fonts = std::make_unique<FontManager>();
    Start();
    Overlord* overlord = Overlord::Instance();
    const u32 id = DrawDebugText(D3DXVECTOR3(5, 6, 0), D3DXCOLOR(1, 0, 0, 1));
    GameObject* object = overlord->GetGameObject(id);
    ASSERT_NE(object, nullptr);
    ScreenText* text = object->GetComponent<ScreenText>();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetFontName(), "lucon.ttf");
    EXPECT_EQ(text->GetFontSize(), 10);
    EXPECT_EQ(text->GetFontColor(), D3DXCOLOR(1, 0, 0, 1));
    EXPECT_NE(text->GetVertexBuffer(), nullptr);
    EXPECT_NE(text->GetAtlas(), nullptr);
    EXPECT_EQ(object->GetComponent<Transform>()->worldPosition, D3DXVECTOR3(5, 6, 0));
    EXPECT_EQ(TextOf(-42), "-42");
}

}  // namespace
