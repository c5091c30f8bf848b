// For the renderer's GL tests: the engine-wide services in start-up order,
// the port window (its handle announced as the WindowsSystem does), the
// effect loader and render resources over the repository's asset folders,
// and an Engine that owns the systems under test so they receive messages.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "core/IdCounter.h"
#include "engine/Engine.h"
#include "engine/FilePath.h"
#include "engine/Graveyard.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "platform/WindowsSystem.h"
#include "port/window/PortWindow.h"
#include "render/Camera.h"
#include "render/EffectLoader.h"
#include "render/GraphicsSystem.h"
#include "render/RenderResources.h"

class Model;
class PointLight;
class ScreenText;
class ParticleEmmiter;
class Skybox;
class GlobalLighting;

inline FilePath AssetFolder(const std::string& folder, const std::string& extension) {
    FilePath path;
    const char* assets = std::getenv("DD_ASSET_DIR");
    path.baseFolder = std::string(assets ? assets : "assets") + "/";
    path.path = folder + "/";
    path.extension = extension;
    return path;
}

class GraphicsTestRig : public ::testing::Test {
protected:
    // Type ids last for the process: draw the ones these tests use before any
    // counter exists, and number everything else well clear of them.
    static std::unique_ptr<IdCounter> MakeCounter() {
        TypeId<Engine>::Get();
        TypeId<GraphicsSystem>::Get();
        TypeId<Camera>::Get();
        TypeId<Model>::Get();
        TypeId<PointLight>::Get();
        TypeId<ScreenText>::Get();
        TypeId<ParticleEmmiter>::Get();
        TypeId<Skybox>::Get();
        TypeId<GlobalLighting>::Get();
        return std::make_unique<IdCounter>(1000);
    }

    std::unique_ptr<MessageHub> hub = std::make_unique<MessageHub>();
    std::unique_ptr<IdCounter> counter = MakeCounter();
    std::unique_ptr<Graveyard> graveyard = std::make_unique<Graveyard>();
    std::unique_ptr<Overlord> overlord = std::make_unique<Overlord>();
    std::unique_ptr<Engine> engine = std::make_unique<Engine>();
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
