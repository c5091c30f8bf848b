// The whole program in-process on a copy of the asset tree: the demo scene
// loads with every component as its file writes it, is drawn through the
// real assembly, window, device, frame pipeline and loop into a PNG that
// shows sky, ship, ground and title, and the run shuts down leaving no
// service behind (under the sanitizers: nothing used after it is gone).
// Closing the window ends the loop after that frame. A level restarted
// hundreds of times in a child process keeps its resident memory flat.
#include <gtest/gtest.h>

#include <limits.h>
#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/Assembly.h"
#include "app/Entry.h"
#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/Logger.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "port/gpu/GpuImage.h"
#include "port/window/WindowTestInput.h"
#include "render/frame/GraphicsSystem.h"
#include "render/frame/RenderDevice.h"
#include "render/frame/RenderResources.h"
#include "render/light/GlobalLighting.h"
#include "render/light/PointLight.h"
#include "render/light/Skybox.h"
#include "render/mesh/Model.h"
#include "render/mesh/ModelFile.h"
#include "render/mesh/Primitive.h"
#include "render/particle/ParticleEffect.h"
#include "render/particle/ParticleEmmiter.h"
#include "render/text/ScreenText.h"
#include "scene/DevozizuDave.h"
#include "scene/SceneLoader.h"
#include "scene/SceneManager.h"
#include "tests/port/ChildProcess.h"
#include "tests/support/TempAssetRoot.h"
#include "tools/screenshot/SceneCapture.h"

namespace {
class WholeProgramGLTest : public ::testing::Test {
protected:
    // The scene's objects that have a component of class T.
    template <class T>
    static std::vector<GameObject*> With() {
        std::vector<GameObject*> found;
        for (u32 id : SceneManager::Instance()->GetObjectIds())
            if (GameObject* object = Overlord::Instance()->GetGameObject(id))
                if (object->GetComponent<T>()) found.push_back(object);
        return found;
    }

    TempAssetRoot root_{TempAssetRoot::Contents::WholeTree};
    const std::string dir_ = root_.Dir();
};

// A wrong member name is ignored silently by the reader, so the values the
// demo scene's file gives are checked here.
TEST_F(WholeProgramGLTest, DemoSceneLoadsWithEveryComponentAsWritten) {
    Assembly assembly;
    ASSERT_TRUE(assembly.Assemble());
    const std::string path = DevozizuDave::Instance()->scene.GetFullPath("Demo");
    ASSERT_TRUE(SceneManager::Instance()->LoadScene(path)) << SceneLoader::Instance()->GetLastError();

    GameObject* ship = nullptr;
    for (GameObject* object : With<Model>())
        if (object->GetComponent<Model>()->filename == "Ship") ship = object;
    ASSERT_NE(ship, nullptr);
    ModelFile shipFile;
    ASSERT_EQ(shipFile.Load(DevozizuDave::Instance()->model.GetFullPath("Ship")), ModelFile::Result::Ok);
    EXPECT_GT(ship->GetComponent<Model>()->vertexCount, 0u);
    EXPECT_EQ(ship->GetComponent<Model>()->vertexCount, shipFile.Mesh().VertexCount()) << "the mesh of model/Ship.bin";
    EXPECT_TRUE(std::filesystem::exists(DevozizuDave::Instance()->texture.GetFullPath("Ship"))) << "companion texture";
    ASSERT_NE(ship->GetComponent<ParticleEffect>(), nullptr);
    EXPECT_EQ(ship->GetComponent<ParticleEffect>()->Archetype(0), "SparkBurst");
    EXPECT_NE(ship->GetComponent<ParticleEffect>()->EmitterObject(0), 0u) << "SparkBurst.arch loads";

    // The engine flame rides on the ship.
    ASSERT_EQ(ship->GetChildren().size(), 1u);
    GameObject* flame = Overlord::Instance()->GetGameObject(ship->GetChildren()[0]);
    ASSERT_NE(flame, nullptr);
    EXPECT_EQ(flame->GetArchetypeName(), "EngineFlame");
    ASSERT_NE(flame->GetComponent<ParticleEmmiter>(), nullptr);
    EXPECT_TRUE(flame->GetComponent<ParticleEmmiter>()->IsContinuous());
    EXPECT_FLOAT_EQ(flame->GetComponent<Transform>()->position.z, 2.1f);

    const auto skies = With<Skybox>();
    ASSERT_EQ(skies.size(), 1u);
    EXPECT_EQ(skies[0]->GetComponent<Skybox>()->filename, "Sky.dds");

    const auto sun = With<GlobalLighting>();
    ASSERT_EQ(sun.size(), 1u);
    EXPECT_FLOAT_EQ(sun[0]->GetComponent<GlobalLighting>()->directionalLightIntensity, 0.9f);
    EXPECT_FLOAT_EQ(sun[0]->GetComponent<GlobalLighting>()->ambientIntensity, 0.25f);

    const auto lights = With<PointLight>();
    ASSERT_EQ(lights.size(), 2u);
    for (GameObject* light : lights) EXPECT_GE(light->GetComponent<PointLight>()->mRange, 8.0f);

    const auto planets = With<Primitive>();
    ASSERT_EQ(planets.size(), 1u);
    const Primitive& planet = *planets[0]->GetComponent<Primitive>();
    EXPECT_TRUE(planet.noisy);
    EXPECT_FLOAT_EQ(planet.r, 4.0f);
    EXPECT_EQ(planet.stacks, 32);
    EXPECT_NE(planets[0]->GetComponent<Model>(), nullptr) << "the primitive built its mesh";

    const auto texts = With<ScreenText>();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->GetComponent<ScreenText>()->GetText(), "Kestrelvax demo");
    EXPECT_EQ(texts[0]->GetComponent<ScreenText>()->GetFontSize(), 28);
    EXPECT_TRUE(texts[0]->GetComponent<Transform>()->isInScreenSpace);
    assembly.Disassemble();
}

struct Rgb {
    int r, g, b;
};

Rgb At(const GpuImage& image, unsigned x, unsigned y) {
    const std::uint8_t* t = &image.subresources[0][(y * image.width + x) * 4];
    return {t[0], t[1], t[2]};
}

TEST_F(WholeProgramGLTest, DemoSceneIsDrawnAndTheRunLeavesNothingBehind) {
    SceneCapture::Options options;
    options.sceneName = "Demo";
    options.outputPath = dir_ + "/demo.png";
    options.width = 320;
    options.height = 240;
    options.frames = 3;
    std::string error;
    ASSERT_TRUE(SceneCapture::Capture(options, &error)) << error;
    EXPECT_EQ(Engine::Instance(), nullptr);
    EXPECT_EQ(RenderDevice::Instance(), nullptr);
    EXPECT_EQ(RenderResources::Instance(), nullptr);
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/Sparse.dmp"));

    GpuImage picture;
    ASSERT_EQ(picture.Load(options.outputPath, &error), GpuLoadStatus::Ok) << error;
    ASSERT_EQ(picture.width, 320u);
    ASSERT_EQ(picture.height, 240u);
    const Rgb sky = At(picture, 20, 20);
    EXPECT_GT(sky.b, sky.g) << "the sky cube's evening blue";
    EXPECT_GT(sky.r + sky.g + sky.b, 60);
    const Rgb ground = At(picture, 160, 230);
    EXPECT_LT(ground.r + ground.g + ground.b, 90) << "below the horizon";
    // The ship's grey hull plates light up a fair part of the middle band.
    int hull = 0;
    for (unsigned y = 120; y < 180; ++y)
        for (unsigned x = 40; x < 260; ++x) {
            const Rgb c = At(picture, x, y);
            if (c.r > 90 && c.g > 90 && c.b > 90 && std::abs(c.r - c.b) < 40) ++hull;
        }
    EXPECT_GT(hull, 300);
}

TEST_F(WholeProgramGLTest, MissingSceneIsReportedAndNoPictureIsTaken) {
    SceneCapture::Options options;
    options.sceneName = "NoSuchScene";
    options.outputPath = dir_ + "/none.png";
    options.width = 320;
    options.height = 240;
    std::string error;
    EXPECT_FALSE(SceneCapture::Capture(options, &error));
    EXPECT_NE(error.find("NoSuchScene"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(options.outputPath));
    EXPECT_EQ(Engine::Instance(), nullptr);
}

// Closes the window as a user would in its second update; it heads the
// list, so it runs first in each frame.
class CloseInSecondFrame : public ISystem {
public:
    CloseInSecondFrame() : ISystem(NewId()) {}
    void Update(float) override {
        if (++frames_ == 2) TestPushClose();
    }

private:
    int frames_ = 0;
};

TEST_F(WholeProgramGLTest, ClosingTheWindowEndsTheLoopAfterThatFrame) {
    Assembly assembly;
    ASSERT_TRUE(assembly.Assemble());
    Engine* engine = assembly.GetEngine();
    engine->AddSystem(new CloseInSecondFrame);
    engine->Init();
    StartFromCommandLine("", engine);
    EXPECT_EQ(engine->GetChildCount(), 0u);
    // The close was pushed in frame 2 and seen by the window's pump in the
    // same frame, which is finished before the loop ends.
    EXPECT_EQ(Logger::Instance()->FrameCounter(), 2u);
    assembly.Disassemble();
}

// The resident set of this process in kilobytes.
long ResidentKilobytes() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

// Heads the list: every other frame it restarts the level as the Restart
// button does (the scene cleared and loaded again from its file), notes the
// resident size after the first ten restarts and after the last, and ends
// the loop.
class RestartLoop : public ISystem {
public:
    static constexpr int kBaselineRestart = 10;
    static constexpr int kRestarts = 300;

    RestartLoop() : ISystem(NewId()) {}
    void Update(float) override {
        if (++frames_ % 2 != 0) return;
        SceneManager::Get().ReloadScene();
        ++restarts;
        if (restarts == kBaselineRestart) baselineKilobytes = ResidentKilobytes();
        if (restarts == kRestarts) {
            finalKilobytes = ResidentKilobytes();
            Engine::Get().SetActive(false);
        }
    }

    int restarts = 0;
    long baselineKilobytes = 0;
    long finalKilobytes = 0;

private:
    int frames_ = 0;
};

// Restarts TrackTest (a sky box, a tunnel, a ship on its track) in a small
// window at a fixed frame time and writes "<restarts> <kB after ten>
// <kB after the last>" to the file DD_RESTART_LOOP names (run by the next
// test in a fresh process); skipped otherwise.
TEST_F(WholeProgramGLTest, RestartLoopForChildRun) {
    const char* out = std::getenv("DD_RESTART_LOOP");
    if (!out) GTEST_SKIP() << "helper of ResidentMemoryStaysFlatOverManyRestarts";
    Assembly assembly;
    ASSERT_TRUE(assembly.Assemble());
    Engine* engine = assembly.GetEngine();
    auto* loop = new RestartLoop;
    engine->AddSystem(loop);
    engine->SetFixedFrameTime(0.0166667f);
    engine->Init();
    if (GraphicsSystem* graphics = engine->GetSystem<GraphicsSystem>())
        SendToSystem(kMsgClearFullScreen, graphics->GetTypeId(), 0);
    ::Broadcast(kMsgSetWindowSize, 0, D3DXVECTOR2(64.0f, 48.0f));
    ASSERT_TRUE(SceneManager::Get().LoadScene(DevozizuDave::Get().scene.GetFullPath("TrackTest")));
    engine->Update(0.0f);
    std::ofstream(out) << loop->restarts << ' ' << loop->baselineKilobytes << ' ' << loop->finalKilobytes;
    assembly.Disassemble();
}

TEST(RestartMemoryGLTest, ResidentMemoryStaysFlatOverManyRestarts) {
    if (!PeakMemoryIsMeaningful()) GTEST_SKIP() << "the sanitizers keep freed memory";
    char self[PATH_MAX] = {};
    ASSERT_GT(::readlink("/proc/self/exe", self, sizeof self - 1), 0);
    TempAssetRoot root{TempAssetRoot::Contents::WholeTree, false};
    const std::string path = root.Dir() + "/restarts.txt";
    ::setenv("DD_RESTART_LOOP", path.c_str(), 1);
    ChildProcess child =
        ChildProcess::Exec(root.Dir(), {self, "--gtest_filter=WholeProgramGLTest.RestartLoopForChildRun"});
    ChildResult result = child.Wait(120);
    ::unsetenv("DD_RESTART_LOOP");
    ASSERT_FALSE(result.timedOut);
    int restarts = 0;
    long baseline = 0, last = 0;
    std::ifstream(path) >> restarts >> baseline >> last;
    ASSERT_EQ(restarts, RestartLoop::kRestarts) << result.errorText;
    ASSERT_GT(baseline, 0);
    // One sky box alone is half a megabyte: kept per load, 290 loads would add 150 MB.
    EXPECT_LT(last - baseline, 4 * 1024) << baseline << " kB after " << RestartLoop::kBaselineRestart << " restarts, "
                                         << last << " kB after " << restarts;
}
}  // namespace
