// For the renderer's GL tests: the engine-wide services of tests/support with
// an Engine that owns the systems under test, the port window (its handle
// announced as the WindowsSystem does), and the effect loader and render
// resources over the repository's asset folders.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "engine/FilePath.h"
#include "engine/MessageTypes.h"
#include "platform/WindowsSystem.h"
#include "port/window/PortWindow.h"
#include "render/camera/Camera.h"
#include "render/effect/EffectLoader.h"
#include "render/frame/GraphicsSystem.h"
#include "render/frame/RenderResources.h"
#include "tests/support/TestServices.h"

class Model;
class PointLight;
class ScreenText;
class ParticleEmmiter;
class Skybox;
class GlobalLighting;

// Resident bytes of this process now.
inline std::size_t ResidentBytes() {
    std::size_t pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

inline FilePath AssetFolder(const std::string& folder, const std::string& extension) {
    FilePath path;
    const char* assets = std::getenv("DD_ASSET_DIR");
    path.baseFolder = std::string(assets ? assets : "assets") + "/";
    path.path = folder + "/";
    path.extension = extension;
    return path;
}

class GraphicsTestRig : public ::testing::Test, protected EngineServices {
protected:
    std::unique_ptr<RenderResources> resources =
        std::make_unique<RenderResources>(AssetFolder("texture", ".dds"), AssetFolder("particle", ".dds"));
    std::unique_ptr<EffectLoader> loader = std::make_unique<EffectLoader>(AssetFolder("shader", ".fx"));
    std::unique_ptr<PortWindow> window;

    void OpenWindow(int width, int height) {
        std::string error;
        window = PortWindow::Create("render test", width, height, &error);
        ASSERT_TRUE(window) << error;
        ::Broadcast(kMsgWindowCreated, 0, WindowCreatedData{0, window->Handle()});
    }

    void TearDown() override {
        engine.reset();  // deletes the systems (and their device) first
        loader.reset();
        resources.reset();
        window.reset();
    }
};
