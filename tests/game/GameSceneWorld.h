// Test support for the game's scene systems: the engine-wide services (log,
// hub, id counter, graveyard, overlord, factory, scene manager, asset folders
// with a temporary scene folder), an Engine holding the InputSystem, the
// GuiSystem and GameLogic, and Probe components that stand in for gameplay
// classes by taking their type ids.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "controls/GuiSystem.h"
#include "engine/GameObject.h"
#include "engine/Ray.h"
#include "engine/Transform.h"
#include "game/scene/GameLogic.h"
#include "platform/InputSystem.h"
#include "port/panels/TweakPanelsProbe.h"
#include "tests/support/LogCapture.h"
#include "tests/support/WorldServices.h"

// Stands in for a component class by its type id: records its updates (into
// a shared journal as its name), debug draws and the messages it receives.
class Probe : public IComponent {
public:
    Probe(u32 typeId, std::string name, std::vector<std::string>* journal)
        : IComponent(typeId), name_(std::move(name)), journal_(journal) {}
    void Update(float dt) override {
        ++updates;
        lastDt = dt;
        if (journal_) journal_->push_back(name_);
    }
    void DebugDraw() override { ++draws; }
    void HandleMessage(Message* message) override {
        received.push_back(*message);
        received.back().payload = nullptr;  // the sender frees it
        if (message->payload && message->payloadSize == sizeof(lastRay)) lastRay = *static_cast<Ray*>(message->payload);
    }
    IComponent* Clone() override { return new Probe(*this); }

    int updates = 0;
    int draws = 0;
    float lastDt = -1.0f;
    std::vector<Message> received;
    Ray lastRay{};

private:
    std::string name_;
    std::vector<std::string>* journal_;
};

class GameSceneWorld : public ::testing::Test, protected WithLog, protected WorldServices {
protected:
    GameSceneWorld() : WorldServices(Parts::Scenes) {
        TwInspectReset();
        std::filesystem::create_directories(Root() + "/scene");
        folders->scene.path = "scene/";
        folders->scene.extension = ".scn";
        folders->scene.baseFolder = Root() + "/";
        engine->AddSystem(input);
        engine->AddSystem(logic);
        engine->AddSystem(gui);
        engine->Init();
    }
    ~GameSceneWorld() override {
        engine.reset();
        TwInspectReset();
    }

    void AddSceneFile(const std::string& name) { WriteFile("scene/" + name, "Archetypes = {}\n"); }
    void RemoveSceneFile(const std::string& name) { std::filesystem::remove(Root() + "/scene/" + name); }

    // An object at `at` turned by `rotation`, with a probe of that type id,
    // announced.
    Probe* MakeProbe(u32 typeId, const std::string& name, const D3DXVECTOR3& at = {},
                     const D3DXQUATERNION& rotation = {0, 0, 0, 1}) {
        GameObject* object = factory.NewGameObject();
        auto* transform = new Transform;
        transform->position = transform->worldPosition = at;
        transform->rotation = transform->worldRotation = rotation;
        object->AddComponent(transform);
        auto* probe = new Probe(typeId, name, &journal);
        object->AddComponent(probe);
        object->Init();
        object->AnnounceComponents();
        return probe;
    }

    // One frame of the systems that matter here, in the engine's order.
    void Frame(float dt = 0.016f) {
        hub.DispatchQueued();
        gui->Update(dt);
        logic->Update(dt);
        input->Update(dt);
        graveyard.Collect(1000.0f);
    }

    std::vector<std::string> journal;
    InputSystem* input = new InputSystem;
    GameLogic* logic = new GameLogic;
    GuiSystem* gui = new GuiSystem;
};
