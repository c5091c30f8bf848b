// Frame time of the renderer on a reference scene (about 50,000 triangles in
// 64 models, 100 point lights, 50 screen texts of which 10 change every
// frame, the sun and the sky box), headless on Mesa at 1024x768 and 320x240.
// Run it with LP_NUM_THREADS fixed (2 for the two-core figures). Counters:
//   frame_ms      wall time of a frame, finished (the back buffer read back);
//   readback_ms   the read-back alone, included in frame_ms;
//   main_cpu_ms   CPU time of the main thread per frame (engine work plus the
//                 GL driver's front end, which runs on the calling thread);
//   all_cpu_ms    CPU time of every thread of the process per frame (the
//                 rasterizer threads too): the frame's work, much less
//                 disturbed than wall time by other load on the machine;
//   engine_cpu_ms main-thread CPU time of the same frame with no effect
//                 loaded, so no draw is issued: the engine's own work (lists,
//                 culling, light packing, text rebuilds, effect variables)
//                 and the few GL calls that remain (clears, buffer uploads).
// BM_FramePasses gives each step's share of a frame from GPU timestamps taken
// as each step starts, without waiting between steps (BM_FloorPasses in
// FloorBench.cpp gives the floor's steps under the same names);
// BM_FramePassesCpu and BM_FloorPassesCpu give each step's CPU time instead
// (run them with LP_NUM_THREADS=0: steady on a busy machine). DD_BENCH_PICTURE=path
// saves a frame of BM_Frame after the timed ones as path_WxH_scene.png, the
// same picture from any run (to compare pictures before and after a change).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchFolders.h"
#include "bench/PassTimer.h"
#include "core/IdCounter.h"
#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/Graveyard.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "platform/WindowsSystem.h"
#include "port/gpu/GpuDevice.h"
#include "port/gpu/GpuPicture.h"
#include "port/gpu/GpuSwapChain.h"
#include "port/gpu/GpuTexture.h"
#include "port/window/PortWindow.h"
#include "render/effect/EffectLoader.h"
#include "render/frame/FramePipeline.h"
#include "render/frame/GraphicsSystem.h"
#include "render/frame/RenderDevice.h"
#include "render/frame/RenderResources.h"
#include "render/light/GlobalLighting.h"
#include "render/light/PointLight.h"
#include "render/light/Skybox.h"
#include "render/mesh/MeshBuilder.h"
#include "render/mesh/Model.h"
#include "render/mesh/ModelCache.h"
#include "render/text/FontManager.h"
#include "render/text/ScreenText.h"
#include "scene/DevozizuDave.h"

namespace {

double CpuMs(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}
double ThreadCpuMs() {
    return CpuMs(CLOCK_THREAD_CPUTIME_ID);
}
double ProcessCpuMs() {
    return CpuMs(CLOCK_PROCESS_CPUTIME_ID);
}

// The engine-wide services, a window and an initialised GraphicsSystem with
// the reference scene (or nothing at all: the empty scene); everything goes in
// reverse order while the window lives.
class ReferenceScene {
public:
    ReferenceScene(int width, int height, bool withEffects, bool populated = true) {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("MESA_SHADER_CACHE_DISABLE", "true", 0);
        const std::string assets = BenchAssetRoot();
        hub_ = std::make_unique<MessageHub>();
        counter_ = std::make_unique<IdCounter>(1);
        folders_ = std::make_unique<DevozizuDave>();
        folders_->skybox = BenchFolder(assets, "skybox", "");
        folders_->model = BenchFolder(assets, "model", ".bin");
        graveyard_ = std::make_unique<Graveyard>();
        overlord_ = std::make_unique<Overlord>();
        engine_ = std::make_unique<Engine>();
        models_ = std::make_unique<ModelCache>();
        resources_ = std::make_unique<RenderResources>(BenchFolder(assets, "texture", ".dds"),
                                                       BenchFolder(assets, "particle", ".dds"));
        fonts_ = std::make_unique<FontManager>();
        renderDevice_ = std::make_unique<RenderDevice>();
        // Without effects no technique applies and no draw is issued.
        loader_ = std::make_unique<EffectLoader>(BenchFolder(withEffects ? assets : "/nonexistent", "shader", ".fx"));

        std::string error;
        window_ = PortWindow::Create("frame bench", width, height, &error);
        if (!window_) {
            std::fprintf(stderr, "no window: %s\n", error.c_str());
            std::exit(1);
        }
        graphics_ = new GraphicsSystem;
        engine_->AddSystem(graphics_);
        ::Broadcast(kMsgWindowCreated, 0, WindowCreatedData{0, window_->Handle()});
        SendToSystem(kMsgClearFullScreen, graphics_->GetTypeId(), 0);
        graphics_->Init();
        if (populated) Build();
    }

    ~ReferenceScene() {
        engine_.reset();
        overlord_.reset();
        graveyard_.reset();
        models_->Clear();
        fonts_.reset();
        renderDevice_.reset();
        loader_.reset();
        resources_.reset();
        window_.reset();
    }

    // One frame; `finish` reads the back buffer back so the frame is done.
    void Frame(bool finish) {
        ++frame_;
        for (size_t i = 0; i < 10 && i < texts_.size(); ++i)
            texts_[i]->SetText("frame " + std::to_string(frame_ + static_cast<int>(i)));
        graphics_->Update(0.016f);
        if (finish) ReadBack();
    }
    void ReadBack() { graphics_->GetSwapChain()->GetBuffer()->ReadBack(0, &pixels_); }
    // The changing texts start again from their first values.
    void Rewind() { frame_ = 0; }
    GraphicsSystem& Graphics() { return *graphics_; }
    u32 Triangles() const { return triangles_; }

    // `count` more point lights of range `range` strewn over the part of the
    // scene in view, each lighting a little differently.
    void AddLights(int count, float range) {
        for (int i = 0; i < count; ++i) {
            auto* light = new PointLight();
            light->mRange = range;
            const float t = static_cast<float>(i) * 0.61803f;
            light->mDiffuse = D3DXCOLOR(0.002f + 0.001f * static_cast<float>(i % 7), 0.002f, 0.003f, 1);
            Add(D3DXVECTOR3(18.0f * std::sin(t * 3.1f), 0.5f + 2.5f * (0.5f + 0.5f * std::sin(t * 1.7f)),
                            16.0f + 18.0f * std::sin(t * 2.3f)),
                1.0f, {light});
        }
    }

private:
    GameObject* Add(const D3DXVECTOR3& position, float scale, std::initializer_list<IComponent*> components) {
        auto* object = new GameObject();
        auto* transform = new Transform();
        transform->position = position;
        transform->scale = scale;
        object->AddComponent(transform);
        for (IComponent* component : components) object->AddComponent(component);
        transform->Init();
        object->AnnounceComponents();
        return object;
    }

    void Build() {
        const D3DXVECTOR3 eye(0, 14, -30), at(0, 0, 10);
        ::Broadcast(kMsgCameraPosition, 0, eye);
        ::Broadcast(kMsgCameraLookAt, 0, at);
        auto* sky = new Skybox();
        sky->filename = "Sky.dds";
        Add(D3DXVECTOR3(0, 0, 0), 1.0f, {sky})->Init();
        auto* sun = new GlobalLighting();
        sun->directionalLightingDirection = D3DXVECTOR3(-0.5f, 1, -0.6f);
        Add(D3DXVECTOR3(0, 0, 0), 1.0f, {sun});

        RenderResources& resources = RenderResources::Get();
        // 8 x 8 spheres of 760 triangles and a flattened sphere as the floor.
        for (int i = 0; i < 64; ++i) {
            Model* sphere = MeshBuilder::Sphere(20, 20, 1, 1, 1);
            const float hue = static_cast<float>(i % 8) / 8.0f;
            sphere->material.diffuse = resources.GetSolidColorTexture(0.4f + 0.6f * hue, 0.5f, 1.0f - 0.6f * hue, 1);
            if (i % 9 == 0) sphere->material.glow = resources.GetSolidColorTexture(0.9f, 0.6f, 0.2f, 1);
            triangles_ += sphere->triangleCount;
            Add(D3DXVECTOR3(-14.0f + 4.0f * static_cast<float>(i % 8), 1.2f, 4.0f * static_cast<float>(i / 8)), 1.2f,
                {sphere});
        }
        Model* floor = MeshBuilder::Sphere(34, 34, 40, 0.2f, 40);
        floor->material.diffuse = resources.GetSolidColorTexture(0.6f, 0.6f, 0.55f, 1);
        triangles_ += floor->triangleCount;
        Add(D3DXVECTOR3(0, -0.3f, 14), 1.0f, {floor});

        for (int i = 0; i < (std::getenv("DD_BENCH_LIGHTS") ? std::atoi(std::getenv("DD_BENCH_LIGHTS")) : 100); ++i) {
            auto* light = new PointLight();
            light->mRange = 4.0f;
            light->mDiffuse = D3DXCOLOR(0.3f + 0.07f * static_cast<float>(i % 10), 0.5f, 0.9f - 0.06f * (i % 10), 1);
            Add(D3DXVECTOR3(-18.0f + 4.0f * static_cast<float>(i % 10), 0.5f,
                            -2.0f + 3.6f * static_cast<float>(i / 10)),
                1.0f, {light});
        }
        for (int i = 0; i < 50; ++i) {
            GameObject* object = CreateTextObject(-500.0f + 200.0f * static_cast<float>(i % 5),
                                                  360.0f - 14.0f * static_cast<float>(i / 5), 0, "lucon.ttf", 10);
            object->GetComponent<Transform>()->isInScreenSpace = true;
            auto* text = object->GetComponent<ScreenText>();
            text->SetText("text number " + std::to_string(i));
            object->Init();
            object->AnnounceComponents();
            texts_.push_back(text);
        }
    }

    std::unique_ptr<MessageHub> hub_;
    std::unique_ptr<IdCounter> counter_;
    std::unique_ptr<DevozizuDave> folders_;
    std::unique_ptr<Graveyard> graveyard_;
    std::unique_ptr<Overlord> overlord_;
    std::unique_ptr<Engine> engine_;
    std::unique_ptr<ModelCache> models_;
    std::unique_ptr<RenderResources> resources_;
    std::unique_ptr<FontManager> fonts_;
    std::unique_ptr<RenderDevice> renderDevice_;
    std::unique_ptr<EffectLoader> loader_;
    std::unique_ptr<PortWindow> window_;
    GraphicsSystem* graphics_ = nullptr;
    std::vector<ScreenText*> texts_;
    std::vector<std::uint8_t> pixels_;
    u32 triangles_ = 0;
    int frame_ = 0;
};

// Arguments: width, height, 1 for the reference scene or 0 for an empty one.
void BM_Frame(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    double cpu = 0, allCpu = 0;
    u32 triangles = 0;
    {
        ReferenceScene scene(width, height, true, state.range(2) != 0);
        triangles = scene.Triangles();
        scene.Frame(true);  // shaders and caches warm
        for (auto _ : state) {
            const double before = ThreadCpuMs(), allBefore = ProcessCpuMs();
            scene.Frame(true);
            cpu += ThreadCpuMs() - before;
            allCpu += ProcessCpuMs() - allBefore;
        }
        if (const char* picture = std::getenv("DD_BENCH_PICTURE")) {
            // The same texts whatever the number of frames timed.
            scene.Rewind();
            scene.Frame(true);
            std::string error;
            const std::string path = std::string(picture) + "_" + std::to_string(width) + "x" + std::to_string(height) +
                                     "_" + std::to_string(state.range(2)) + ".png";
            if (!GpuPicture::SavePng(*scene.Graphics().GetSwapChain()->GetBuffer(), path, &error))
                state.SkipWithError(error.c_str());
        }
    }
    const double frames = static_cast<double>(state.iterations());
    state.counters["main_cpu_ms"] = cpu / frames;
    state.counters["all_cpu_ms"] = allCpu / frames;
    state.counters["triangles"] = triangles;
}

// Each step's time from GPU timestamps (PassTimer); BM_FloorPasses gives the
// floor's steps under the same names.
// The reference scene at 1024x768 with `count` more point lights of range
// `range` in view (arguments: count, range): a hostile level's flood of lights
// against the plain frame (BM_Frame), measured as BM_Frame measures.
void BM_FrameWithLights(benchmark::State& state) {
    double cpu = 0, allCpu = 0;
    u32 drawn = 0;
    {
        ReferenceScene scene(1024, 768, true);
        scene.AddLights(static_cast<int>(state.range(0)), static_cast<float>(state.range(1)));
        scene.Frame(true);
        for (auto _ : state) {
            const double before = ThreadCpuMs(), allBefore = ProcessCpuMs();
            scene.Frame(true);
            cpu += ThreadCpuMs() - before;
            allCpu += ProcessCpuMs() - allBefore;
        }
        drawn = scene.Graphics().GetPipeline().Lights().DrawnCount();
    }
    const double frames = static_cast<double>(state.iterations());
    state.counters["main_cpu_ms"] = cpu / frames;
    state.counters["all_cpu_ms"] = allCpu / frames;
    state.counters["lights_drawn"] = drawn;
}

void BM_FramePasses(benchmark::State& state) {
    ReferenceScene scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), true);
    GraphicsSystem& graphics = scene.Graphics();
    PassTimer timer(graphics.GetDevice()->Context());
    graphics.SetFrameRecorder([&](FramePass pass, u32) { timer.Start(pass); });
    timer.Run(state, scene);
    graphics.SetFrameRecorder(nullptr);
}

// Each step's main-thread CPU time, flushed as it starts: run with
// LP_NUM_THREADS=0 (PassTimer); BM_FloorPassesCpu gives the floor's.
void BM_FramePassesCpu(benchmark::State& state) {
    ReferenceScene scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), true);
    GraphicsSystem& graphics = scene.Graphics();
    GpuDevice* device = graphics.GetDevice();
    PassTimer timer(device->Context(), [device] { device->Flush(); });
    graphics.SetFrameRecorder([&](FramePass pass, u32) { timer.Start(pass); });
    timer.Run(state, scene);
    graphics.SetFrameRecorder(nullptr);
}

void BM_ReadBack(benchmark::State& state) {
    ReferenceScene scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), true);
    scene.Frame(true);
    for (auto _ : state) scene.ReadBack();
}

void BM_EngineWork(benchmark::State& state) {
    double cpu = 0;
    {
        ReferenceScene scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), false);
        scene.Frame(true);
        for (auto _ : state) {
            const double before = ThreadCpuMs();
            scene.Frame(false);
            cpu += ThreadCpuMs() - before;
        }
        scene.ReadBack();
    }
    state.counters["engine_cpu_ms"] = cpu / static_cast<double>(state.iterations());
}

}  // namespace

BENCHMARK(BM_Frame)
    ->Args({1024, 768, 1})
    ->Args({320, 240, 1})
    ->Args({1024, 768, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3.0);
BENCHMARK(BM_FrameWithLights)
    ->Args({100000, 1000})
    ->Args({100000, 1})
    ->Args({2003, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(1.0);
BENCHMARK(BM_FramePasses)->Apply(PassTimer::PassSizes);
BENCHMARK(BM_FramePassesCpu)->Apply(PassTimer::PassSizes);
BENCHMARK(BM_ReadBack)->Args({1024, 768})->Args({320, 240})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EngineWork)->Args({1024, 768})->Args({320, 240})->Unit(benchmark::kMillisecond)->UseRealTime();
