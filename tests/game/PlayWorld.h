// The game's tables played headless: the engine-wide services over a fresh
// temporary asset root (scene/ and arch/ folders), every component class of
// the program through the real class table, and an Engine holding Physics,
// GameLogic and BehaviorSystem (no window, device or sound). Frame() runs one
// frame of them in the engine's order. Header only: the game tests and the
// game-table fuzz target (a separate clang build, without gtest) share it.
#pragma once
#include <filesystem>
#include <functional>
#include <string>

#include "app/ClassRegistrations.h"
#include "game/physics/Physics.h"
#include "game/scene/BehaviorSystem.h"
#include "game/scene/GameLogic.h"
#include "tests/support/WorldServices.h"

struct PlayWorld : WorldServices {
    static constexpr float kFrame = 0.0166667f;  // the physics step: every system steps each frame

    PlayWorld()
        : WorldServices(Parts::Levels,
                        "scene = { path = \"scene/\", extension = \".scn\" }\n"
                        "arch = { path = \"arch/\", extension = \".arch\" }\n") {
        std::filesystem::create_directories(Root() + "/scene");
        std::filesystem::create_directories(Root() + "/arch");
        ClassRegistrations::RegisterAll(*registry, factory);
        engine->AddSystem(physics);
        engine->AddSystem(logic);
        engine->AddSystem(behavior);
        engine->Init();
    }
    ~PlayWorld() { scene->ClearScene(); }

    std::string ScenePath(const std::string& name) const { return Root() + "/scene/" + name + ".scn"; }

    // One frame of dt seconds: the queued messages, `controls` (what the
    // controls say at that point of a frame), then the game systems in update
    // order, then the deletions.
    void Frame(float dt = kFrame, const std::function<void()>& controls = {}) {
        hub.DispatchQueued();
        if (controls) controls();
        physics->Update(dt);
        logic->Update(dt);
        behavior->Update(dt);
        graveyard.Collect(1000.0f);
    }

    Physics* physics = new Physics;
    GameLogic* logic = new GameLogic;
    BehaviorSystem* behavior = new BehaviorSystem;
};
