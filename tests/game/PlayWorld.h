// The game's tables played headless: the engine-wide services over a fresh
// temporary asset root (scene/ and arch/ folders), every component class of
// the program through the real class table, and an Engine holding Physics,
// GameLogic and BehaviorSystem (no window, device or sound). Frame() runs one
// frame of them in the engine's order. Header only: the game tests and the
// game-table fuzz target (a separate clang build, without gtest) share it.
#pragma once
#include <stdlib.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/ClassRegistrations.h"
#include "core/IdCounter.h"
#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/Graveyard.h"
#include "engine/MessageHub.h"
#include "engine/Overlord.h"
#include "game/physics/Physics.h"
#include "game/scene/BehaviorSystem.h"
#include "game/scene/GameLogic.h"
#include "reflection/MetaRegistry.h"
#include "scene/DevozizuDave.h"
#include "scene/ObjectFactory.h"
#include "scene/SceneLoader.h"
#include "scene/SceneManager.h"

struct PlayWorld {
    static constexpr float kFrame = 0.0166667f;  // the physics step: every system steps each frame

    PlayWorld() : root(MakeRoot()) {
        folders.Load(root);
        ClassRegistrations::RegisterAll(registry, factory);
        engine->AddSystem(physics);
        engine->AddSystem(logic);
        engine->AddSystem(behavior);
        engine->Init();
    }
    ~PlayWorld() {
        scene.ClearScene();
        engine.reset();
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
    PlayWorld(const PlayWorld&) = delete;
    PlayWorld& operator=(const PlayWorld&) = delete;

    void WriteFile(const std::string& relative, const std::string& text) const {
        std::ofstream(root + "/" + relative, std::ios::binary) << text;
    }
    std::string ScenePath(const std::string& name) const { return root + "/scene/" + name + ".scn"; }

    // One frame: the queued messages, then the game systems in update order,
    // then the deletions.
    void Frame() {
        hub.DispatchQueued();
        physics->Update(kFrame);
        logic->Update(kFrame);
        behavior->Update(kFrame);
        graveyard.Collect(1000.0f);
    }

    std::size_t Objects() const {
        std::size_t count = 0;
        overlord.GameObjects().ForEach([&](u32, GameObject*) { ++count; });
        return count;
    }

    std::string root;
    MessageHub hub;
    IdCounter counter{1u};
    MetaRegistry registry;
    SceneLoader loader;
    DevozizuDave folders;
    Graveyard graveyard;
    Overlord overlord;
    ObjectFactory factory;
    SceneManager scene;
    std::unique_ptr<Engine> engine = std::make_unique<Engine>();
    Physics* physics = new Physics;
    GameLogic* logic = new GameLogic;
    BehaviorSystem* behavior = new BehaviorSystem;

private:
    static std::string MakeRoot() {
        std::string pattern = (std::filesystem::temp_directory_path() / "ddplayXXXXXX").string();
        if (!mkdtemp(pattern.data())) return std::string();
        std::filesystem::create_directories(pattern + "/scene");
        std::filesystem::create_directories(pattern + "/arch");
        std::ofstream(pattern + "/DevozizuDave.init") << "scene = { path = \"scene/\", extension = \".scn\" }\n"
                                                         "arch = { path = \"arch/\", extension = \".arch\" }\n";
        return pattern;
    }
};
