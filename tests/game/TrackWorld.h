// Test support for tracks and crawlers: the engine-wide services in start-up
// order (log, hub, id counter, graveyard, overlord, factory with the Transform
// and Model prototypes, engine), two recording systems standing in for the
// renderer and the level editor, and helpers that build paths and crawlers.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/Graveyard.h"
#include "engine/ISystem.h"
#include "engine/MessageHub.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "game/track/PlayerPath.h"
#include "game/track/SplineCrawler.h"
#include "render/frame/GraphicsSystem.h"
#include "render/mesh/Model.h"
#include "scene/ObjectFactory.h"
#include "tests/engine/LogCapture.h"
#include "tests/support/TestIdCounter.h"

class Editor;

// What a recording system was sent: kind, sender and a u32 payload (0 without).
struct Delivery {
    u32 type;
    u32 argument;
    u32 sender;
    u32 value;
};

class RecordingSystem : public ISystem {
public:
    explicit RecordingSystem(u32 typeId) : ISystem(typeId) {}
    void HandleMessage(Message* m) override {
        const u32 value = (m->payload && m->payloadSize == sizeof(u32)) ? *static_cast<const u32*>(m->payload) : 0;
        seen.push_back({m->type, m->argument, m->sender, value});
    }
    size_t Count(u32 type, u32 argument) const {
        return static_cast<size_t>(std::count_if(
            seen.begin(), seen.end(), [&](const Delivery& d) { return d.type == type && d.argument == argument; }));
    }
    std::vector<Delivery> seen;
};

class TrackWorld : public ::testing::Test {
protected:
    TrackWorld() {
        factory.RegisterComponentPrototype<Transform>("Transform", new Transform);
        factory.RegisterComponentPrototype<Model>("Model", new Model);
        engine->AddSystem(graphics);
        engine->AddSystem(editor);
    }

    // An object with a Transform at origin and a PlayerPath through points,
    // set up by `setup` before the object is initialised and announced.
    u32 MakePath(const std::vector<D3DXVECTOR3>& points, const D3DXVECTOR3& origin = {},
                 const std::function<void(PlayerPath&)>& setup = {}) {
        auto* path = new PlayerPath;
        for (const D3DXVECTOR3& p : points) path->wps.push_back(Waypoint{p, {0, 0, 0, 1}});
        if (setup) setup(*path);
        return MakeObject(origin, path);
    }

    u32 MakeObject(const D3DXVECTOR3& origin, IComponent* component) {
        GameObject* object = factory.NewGameObject();
        auto* transform = new Transform;
        transform->position = transform->worldPosition = origin;
        object->AddComponent(transform);
        if (component) object->AddComponent(component);
        object->Init();
        object->AnnounceComponents();
        return object->GetId();
    }

    template <class T>
    T* Find(u32 objectId) {
        return Overlord::FindComponent<T>(objectId);
    }
    bool Alive(u32 objectId) const { return overlord.GetGameObject(objectId) != nullptr; }

    // The end of a frame and the start of the next: unregistered things
    // deleted, queued messages delivered.
    void NextFrame() {
        graveyard.Collect(1000.0f);
        hub.DispatchQueued();
    }

    // The log rows so far (the log ends here).
    std::vector<std::string> Rows() { return log.Messages(); }
    static size_t CountContaining(const std::vector<std::string>& rows, const std::string& text) {
        return LogCapture::CountContaining(rows, text);
    }

    LogCapture log;
    MessageHub hub;
    TestIdCounter counter;
    Graveyard graveyard;
    Overlord overlord;
    ObjectFactory factory;
    std::unique_ptr<Engine> engine = std::make_unique<Engine>();
    RecordingSystem* graphics = new RecordingSystem(TypeId<GraphicsSystem>::Get());
    RecordingSystem* editor = new RecordingSystem(TypeId<Editor>::Get());
};
