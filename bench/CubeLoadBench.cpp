// Scene load of N untextured cubes (a Transform and a Primitive cube each,
// no texture names), headless on Mesa with the shipped texture folder: each
// built model asks for its companion maps, which are not there. Every
// iteration clears the scene, as a level load does, then reads the file
// (the clear itself is not timed). The 100,000 figure runs once:
// --benchmark_filter=BM_LoadUntexturedCubes/100000.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "bench/BenchFolders.h"
#include "core/IdCounter.h"
#include "engine/Engine.h"
#include "engine/EngineClasses.h"
#include "engine/Graveyard.h"
#include "engine/MessageHub.h"
#include "engine/Overlord.h"
#include "port/gpu/GpuDevice.h"
#include "port/gpu/GpuSwapChain.h"
#include "port/window/PortWindow.h"
#include "reflection/MetaRegistry.h"
#include "reflection/ValueTypes.h"
#include "render/RenderClasses.h"
#include "render/frame/RenderDevice.h"
#include "render/frame/RenderResources.h"
#include "render/mesh/Material.h"
#include "render/mesh/ModelCache.h"
#include "scene/DevozizuDave.h"
#include "scene/ObjectFactory.h"
#include "scene/SceneLoader.h"
#include "scene/SceneManager.h"

namespace {

// The services a scene load of render components uses, a window and its
// device; the scene file of `cubes` cubes in a temporary folder.
class CubeWorld {
public:
    explicit CubeWorld(int cubes) {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("MESA_SHADER_CACHE_DISABLE", "true", 0);
        const std::string assets = BenchAssetRoot();
        root_ = (std::filesystem::temp_directory_path() / ("dd_cubes_" + std::to_string(cubes))).string();
        std::filesystem::create_directories(root_ + "/scene");
        std::filesystem::create_directories(root_ + "/arch");
        WriteScene(cubes);

        hub_ = std::make_unique<MessageHub>();
        counter_ = std::make_unique<IdCounter>(1);
        registry_ = std::make_unique<MetaRegistry>();
        loader_ = std::make_unique<SceneLoader>();
        folders_ = std::make_unique<DevozizuDave>();
        folders_->scene = BenchFolder(root_, "scene", ".scn");
        folders_->arch = BenchFolder(root_, "arch", ".arch");
        folders_->model = BenchFolder(assets, "model", ".bin");
        graveyard_ = std::make_unique<Graveyard>();
        overlord_ = std::make_unique<Overlord>();
        factory_ = std::make_unique<ObjectFactory>();
        scene_ = std::make_unique<SceneManager>();
        engine_ = std::make_unique<Engine>();
        models_ = std::make_unique<ModelCache>();
        resources_ = std::make_unique<RenderResources>(BenchFolder(assets, "texture", ".dds"),
                                                       BenchFolder(assets, "particle", ".dds"));
        renderDevice_ = std::make_unique<RenderDevice>();

        ValueTypes::Register(*registry_);
        for (const ComponentClassList* classes : {&EngineClasses(), &RenderClasses()})
            for (const ComponentClassEntry& entry : *classes) {
                factory_->RegisterPrototype(entry.name, entry.typeId(), entry.makePrototype());
                entry.enterClass(entry.name, *registry_);
            }
        registry_->Register<Material>("Material");

        std::string error;
        window_ = PortWindow::Create("cube bench", 64, 64, &error);
        if (!window_ || !GpuCreateDeviceAndSwapChain(window_->NativeWindow(), 64, 64, &device_, &swapChain_, &error)) {
            std::fprintf(stderr, "no device: %s\n", error.c_str());
            std::exit(1);
        }
        resources_->SetDevice(device_);
        models_->SetDevice(device_);
        renderDevice_->SetDevice(device_);
    }

    ~CubeWorld() {
        Clear();
        scene_.reset();
        engine_.reset();
        factory_.reset();
        graveyard_->Collect(1e9f);
        renderDevice_.reset();
        resources_.reset();
        models_.reset();
        swapChain_.reset();
        device_.reset();
        window_.reset();
        overlord_.reset();
        graveyard_.reset();
        folders_.reset();
        loader_.reset();
        registry_.reset();
        counter_.reset();
        hub_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    // What a level load does: the scene cleared (textures found missing are
    // looked for again), then read.
    bool Load() {
        resources_->ForgetFailures();
        return scene_->LoadScene(folders_->scene.GetFullPath("Cubes"));
    }
    void Clear() {
        scene_->ClearScene();
        hub_->DispatchQueued();
        graveyard_->Collect(1e9f);
    }
    std::size_t Objects() const { return scene_->GetObjectIds().size(); }

private:
    void WriteScene(int cubes) const {
        std::ofstream out(root_ + "/scene/Cubes.scn", std::ios::binary);
        out << "Archetypes = {\n\t\"\",\n}\n\nInstances = {\n";
        for (int i = 0; i < cubes; ++i)
            out << "\t{SceneGUID = " << 1000 + i << ", Transform = { position = { x = " << (i % 100) * 3
                << ", y = " << (i / 100) % 100 * 3 << ", z = " << i / 10000 * 3
                << ",  },  }, Primitive = { primType = 3,  },  },\n";
        out << "}\n";
    }

    std::string root_;
    std::unique_ptr<MessageHub> hub_;
    std::unique_ptr<IdCounter> counter_;
    std::unique_ptr<MetaRegistry> registry_;
    std::unique_ptr<SceneLoader> loader_;
    std::unique_ptr<DevozizuDave> folders_;
    std::unique_ptr<Graveyard> graveyard_;
    std::unique_ptr<Overlord> overlord_;
    std::unique_ptr<ObjectFactory> factory_;
    std::unique_ptr<SceneManager> scene_;
    std::unique_ptr<Engine> engine_;
    std::unique_ptr<ModelCache> models_;
    std::unique_ptr<RenderResources> resources_;
    std::unique_ptr<RenderDevice> renderDevice_;
    std::unique_ptr<PortWindow> window_;
    std::shared_ptr<GpuDevice> device_;
    std::unique_ptr<GpuSwapChain> swapChain_;
};

void BM_LoadUntexturedCubes(benchmark::State& state) {
    const int cubes = static_cast<int>(state.range(0));
    CubeWorld world(cubes);
    for (auto _ : state) {
        if (!world.Load() || world.Objects() != static_cast<std::size_t>(cubes)) {
            state.SkipWithError("the scene did not load");
            break;
        }
        state.PauseTiming();
        world.Clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadUntexturedCubes)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadUntexturedCubes)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
