// Whole frames drawn headless at 320 x 240 and judged by their pixels, with
// tolerances: directional and point lighting, glow, the sky box, ambient
// occlusion in a crease and screen text.
#include <gtest/gtest.h>

#include "port/gpu/GpuPicture.h"
#include "render/FontManager.h"
#include "render/FramePipeline.h"
#include "render/ScreenText.h"
#include "tests/render/FrameTestRig.h"

class Skybox;

namespace {

// A sky box stand-in: a Model under the Skybox type id, as the renderer
// finds sky boxes.
class TestSky : public Model {
public:
    TestSky() : Model(TypeId<Skybox>::Get()) {}
};

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
    double MeanAt(const Picture& picture, const D3DXVECTOR3& world, int half = 2) {
        const D3DXVECTOR2 p = ScreenOf(world);
        return picture.Mean(static_cast<int>(p.x), static_cast<int>(p.y), half);
    }
};

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

}  // namespace
namespace {
TEST_F(FrameGLTest, DebugDump) {
    Start();
    LookFrom(D3DXVECTOR3(0, 0, -5), D3DXVECTOR3(0, 0, 0));
    AddObject(D3DXVECTOR3(0, 0, 0), 1.0f, {Coloured(MeshBuilder::Sphere(20, 20, 1, 1, 1), D3DXCOLOR(1, 1, 1, 1))});
    AddGlobalLight(D3DXVECTOR3(-1, 0, 0), 0.8f, 0.2f);
    graphics->SetFrameRecorder([](FramePass p, u32 c) { printf("pass %u %u\n", (unsigned)p, c); });
    Draw();
    printf("drawn %u culled %u\n", graphics->GetPipeline().Geometry().DrawnCount(), graphics->GetPipeline().Geometry().CulledCount());
    auto dump = [](const char* name, GpuTexture* t) {
        std::vector<std::uint8_t> b; t->ReadBack(0, &b);
        size_t i = (120 * 320 + 150) * 4;
        printf("%s: %d %d %d %d\n", name, b[i], b[i+1], b[i+2], b[i+3]);
    };
    const RenderTargets& t = graphics->GetTargets();
    dump("normals", t.normals.texture.get());
    dump("diffuse", t.diffuseSpec.texture.get());
    dump("light", t.light.texture.get());
    dump("glow", t.glow.texture.get());
    dump("back", graphics->GetSwapChain()->GetBuffer().get());
    std::string e; graphics->GetDevice()->DrainErrors(&e); printf("err %s\n", e.c_str());
    GpuPicture::SavePng(*graphics->GetSwapChain()->GetBuffer(), "/tmp/fr/dump.png");
    GpuPicture::SavePng(*t.ssao.texture, "/tmp/fr/ssao.png");
}
}
