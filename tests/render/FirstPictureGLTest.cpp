// The start's first pictures need only the UI effect: the deferred and
// particle effects and the G-buffer come after the second picture, or before
// the first frame or arrival that draws with them, and a scene drawn then is
// the same picture, byte for byte, as one drawn by a renderer that made
// everything at Init.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "engine/MessageTypes.h"
#include "port/gpu/GpuInputLayout.h"
#include "port/os/CRand.h"
#include "render/frame/FramePipeline.h"
#include "tests/render/FrameTestRig.h"

namespace {

class FirstPictureGLTest : public FrameTestRig {
protected:
    // Everything the renderer holds made again from nothing, as for a new run.
    void Restart() {
        engine.reset();
        overlord.reset();
        graveyard.reset();
        renderDevice.reset();
        resources.reset();
        loader.reset();
        window.reset();
        graveyard = std::make_unique<Graveyard>();
        overlord = std::make_unique<Overlord>();
        engine = std::make_unique<Engine>();
        renderDevice = std::make_unique<RenderDevice>();
        resources = std::make_unique<RenderResources>(AssetFolder("texture", ".dds"), AssetFolder("particle", ".dds"));
        loader = std::make_unique<EffectLoader>(AssetFolder("shader", ".fx"));
    }

    // Whether the deferred effect was there at each Present from now on.
    void WatchPresents() {
        graphics->SetFrameRecorder([this](FramePass pass, u32) {
            if (pass == FramePass::Present)
                deferredAtPresent.push_back(graphics->GetEffects().Effect(EffectId::DeferredShader) != nullptr);
        });
    }

    // A lit sphere and box, a point light and a started emitter, as a level
    // brings them.
    void AddScene() {
        AddGlobalLight(D3DXVECTOR3(-1, 1, -1), 0.8f, 0.2f);
        AddObject(D3DXVECTOR3(-1, 0, 2), 1.0f, {Coloured(MeshBuilder::Sphere(20, 20, 1, 1, 1), D3DXCOLOR(1, 1, 1, 1))});
        AddObject(D3DXVECTOR3(1.5f, 0, 3), 1.0f,
                  {Coloured(MeshBuilder::Cube(), D3DXCOLOR(0, 1, 0, 1), D3DXCOLOR(0.5f, 0, 0, 1))});
        AddLight(D3DXVECTOR3(0, 1, 0), 4.0f, D3DXCOLOR(1, 0.5f, 0.5f, 1));
        ParticleEmmiter* emitter = AddBurstEmitter(D3DXVECTOR3(0, 0, 1), 1.0f, 0.8f, 1.0f);
        SendToComponent(kMsgEmitterStart, emitter->GetId(), 0);
    }

    // The start's first two pictures, the splash's screen quad in the second.
    void DrawStartPictures() {
        AskScreenQuad(50.0f, D3DXCOLOR(1, 0, 0, 1));
        Draw();
        Draw();
    }

    std::vector<bool> deferredAtPresent;
};

}  // namespace

TEST_F(FirstPictureGLTest, FirstTwoPicturesAreShownBeforeTheDeferredEffectIsCompiled) {
    Start();
    WatchPresents();
    AskScreenQuad(50.0f, D3DXCOLOR(1, 0, 0, 1));  // as the splash asks for its pictures

    const Picture first = Draw();
    EXPECT_GT(first.At(160, 120).r, 200) << "drawn with the UI effect alone";
    EXPECT_EQ(first.At(5, 5).Sum(), 0);
    EXPECT_FALSE(graphics->StartFinished());
    Draw();
    EXPECT_TRUE(graphics->StartFinished()) << "after the second picture";
    EXPECT_TRUE(graphics->GetPipeline().DeferredWarm());
    Draw();
    EXPECT_EQ(deferredAtPresent, (std::vector<bool>{false, false, true}));
    EXPECT_EQ(graphics->GetDevice()->DrainErrors(), 0u);
}

// The light volumes and the screen quads after them share the light layout;
// the driver lays it out anew after its buffers changed at more than four
// draws, and builds their vertex stages again. The warm-up after the second
// picture takes it past that, so a level's first frames build nothing.
TEST_F(FirstPictureGLTest, WarmUpSettlesTheLightLayoutBeforeALevelDraws) {
    Start();
    DrawStartPictures();
    const GpuInputLayout* layout = graphics->GetFrameResources().lightLayout.get();
    ASSERT_NE(layout, nullptr);
    EXPECT_TRUE(layout->Settled()) << layout->Changes() << " changes";
    LookFrom(D3DXVECTOR3(0, 1, -5), D3DXVECTOR3(0, 0, 2));
    AddScene();
    Draw(0.1f);
    EXPECT_EQ(graphics->GetPipeline().Lights().DrawnCount(), 1u);
    EXPECT_EQ(graphics->GetDevice()->DrainErrors(), 0u);
}

// A level's HUD draws its first texts in the level's first frame; the texts'
// step is built when the scene's first model arrives, before that frame, and
// not by the start's pictures (which have no texts).
TEST_F(FirstPictureGLTest, TextsAreBuiltWhenASceneArrivesNotAtTheStart) {
    Start();
    DrawStartPictures();
    EXPECT_FALSE(graphics->GetPipeline().TextsWarm());
    AddScene();
    EXPECT_TRUE(graphics->GetPipeline().TextsWarm()) << "before the level's first frame";
    EXPECT_EQ(graphics->GetDevice()->DrainErrors(), 0u);
}

// The same level frames whether the start was finished at Init, by the
// scene's arrival before the first picture, or after two empty pictures.
TEST_F(FirstPictureGLTest, LevelFramesAreTheSameWhicheverMomentFinishesTheStart) {
    struct Case {
        const char* name;
        bool finishAtInit;
        int emptyFramesFirst;
    } const cases[] = {{"finished at Init", true, 0},
                       {"scene before the first picture", false, 0},
                       {"after two empty pictures", false, 2}};
    std::vector<std::vector<Picture>> runs;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSRand(1);
        Start();
        if (c.finishAtInit) graphics->FinishStart();
        LookFrom(D3DXVECTOR3(0, 1, -5), D3DXVECTOR3(0, 0, 2));
        for (int i = 0; i < c.emptyFramesFirst; ++i) Draw(0.1f);
        AddScene();
        std::vector<Picture> frames;
        for (int i = 0; i < 3; ++i) frames.push_back(Draw(0.1f));
        EXPECT_TRUE(graphics->StartFinished());
        EXPECT_GT(frames.back().Mean(80, 120, 20), 0.0);
        EXPECT_EQ(graphics->GetDevice()->DrainErrors(), 0u);
        runs.push_back(std::move(frames));
        Restart();
    }
    for (size_t run = 1; run < runs.size(); ++run)
        for (size_t frame = 0; frame < runs[0].size(); ++frame)
            EXPECT_EQ(runs[run][frame].Bytes(), runs[0][frame].Bytes()) << cases[run].name << ", frame " << frame;
}

// What arrives and draws without a warm-up of its own (a light, the global
// light, an emitter) finishes the start at the frame that first draws it,
// before that frame sets its variables, and is drawn in that frame.
TEST_F(FirstPictureGLTest, FirstFrameWithALightOrEmitterFinishesTheStartBeforeItDraws) {
    const struct {
        const char* name;
        std::function<void()> add;
        std::function<bool()> drawn;
    } cases[] = {
        {"point light", [&] { AddLight(D3DXVECTOR3(0, 0, 3), 2.0f, D3DXCOLOR(1, 1, 1, 1)); },
         [&] { return graphics->GetPipeline().Lights().DrawnCount() == 1; }},
        {"global light", [&] { AddGlobalLight(D3DXVECTOR3(0, 1, 0), 0.5f, 0.25f); },
         [&] { return graphics->GetEffects().Variable(EffectVarId::ambient)->GetFloat() == 0.25f; }},
        {"emitter",
         [&] {
             auto* emitter = new ParticleEmmiter();
             emitter->SetTiming(1.0f, 0.1f);
             emitter->GetParticles().push_back(Particle());
             AddObject(D3DXVECTOR3(0, 0, 3), 1.0f, {emitter});
             emitter->Init();
             SendToComponent(kMsgEmitterStart, emitter->GetId(), 0);
         },
         [&] { return graphics->GetPipeline().Particles().DrawnCount() == 1; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Start();
        c.add();
        EXPECT_FALSE(graphics->StartFinished());
        Draw(0.1f);
        EXPECT_TRUE(graphics->StartFinished());
        EXPECT_TRUE(c.drawn());
        EXPECT_FLOAT_EQ(graphics->GetEffects().Variable(EffectVarId::pixelWidth)->GetFloat(), 1.0f / 320.0f);
        EXPECT_EQ(graphics->GetDevice()->DrainErrors(), 0u);
        Restart();
    }
}
