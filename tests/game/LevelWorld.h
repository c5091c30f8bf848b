// Test support for level scripting: the engine-wide services in start-up
// order (log, hub, id counter, class registry, graveyard, overlord, factory
// with the Transform and SplineCrawler prototypes, scene, engine with a
// renderer that is never initialised), a listener that records broadcasts,
// archetypes built in code, and a track with a player riding it.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
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
#include "game/level/SpawnBudget.h"
#include "game/track/PlayerPath.h"
#include "game/track/SplineCrawler.h"
#include "reflection/MetaRegistry.h"
#include "render/frame/GraphicsSystem.h"
#include "render/mesh/Model.h"
#include "scene/ObjectFactory.h"
#include "scene/SceneManager.h"
#include "tests/engine/LogCapture.h"
#include "tests/support/TestIdCounter.h"

// One delivery a Listener saw: kind, sender and the first four payload bytes.
struct Heard {
    u32 type;
    u32 argument;
    u32 sender;
    u32 bits;
    i32 AsInt() const { return static_cast<i32>(bits); }
    float AsFloat() const {
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
};

// A system that subscribes to the kinds it is given and records what comes.
class Listener : public ISystem {
public:
    Listener() : ISystem(TypeId<Listener>::Get()) {}
    template <class P>
    void Hear(const Kind<P>& kind) {
        MessageHub::Get().Subscribe(this, kind.type, kind.argument);
    }
    void HandleMessage(Message* m) override {
        u32 bits = 0;
        if (m->payload && m->payloadSize >= sizeof bits) std::memcpy(&bits, m->payload, sizeof bits);
        heard.push_back({m->type, m->argument, m->sender, bits});
    }
    template <class P>
    std::vector<Heard> Of(const Kind<P>& kind) const {
        std::vector<Heard> out;
        for (const Heard& h : heard)
            if (h.type == kind.type && h.argument == kind.argument) out.push_back(h);
        return out;
    }
    std::vector<Heard> heard;
};

// A component that counts the messages its object is handed, by type.
class Probe : public Component<Probe> {
public:
    void HandleMessage(Message* m) override { types.push_back(m->type); }
    size_t Count(u32 type) const { return static_cast<size_t>(std::count(types.begin(), types.end(), type)); }
    std::vector<u32> types;
};

// Stands for the ship's Player: spawners read its circleRadius by name.
class PlayerStandIn : public Component<PlayerStandIn> {
public:
    static void Reflect(MemberList<PlayerStandIn>& members) {
        members.Add("circleRadius", &PlayerStandIn::circleRadius);
    }
    float circleRadius = 50.0f;
};

class LevelWorld : public ::testing::Test {
protected:
    LevelWorld() {
        SpawnBudget::Reset();  // the counts are process-wide
        factory.RegisterComponentPrototype<Transform>("Transform", new Transform);
        factory.RegisterComponentPrototype<SplineCrawler>("SplineCrawler", new SplineCrawler);
        factory.RegisterComponentPrototype<Model>("Model", new Model);
        PlayerStandIn stand;  // reflects its member before the class is entered
        registry.Register<PlayerStandIn>("Player");
        engine->AddSystem(graphics);
        engine->AddSystem(listener);
        listener->Hear(ComponentAnnounced(TypeId<Probe>::Get()));
    }

    // An object with a Transform at origin and the components, initialised
    // and announced.
    u32 MakeObject(const D3DXVECTOR3& origin, std::vector<IComponent*> components = {}) {
        GameObject* object = factory.NewGameObject();
        auto* transform = new Transform;
        transform->position = transform->worldPosition = origin;
        object->AddComponent(transform);
        for (IComponent* c : components) object->AddComponent(c);
        object->Init();
        object->AnnounceComponents();
        return object->GetId();
    }

    // Stores an archetype: a Transform, a Probe and the given components.
    void MakeArchetype(const std::string& name, std::vector<IComponent*> components = {}) {
        GameObject* prototype = factory.NewGameObject();
        prototype->SetArchetypeName(name);
        prototype->AddComponent(new Transform);
        prototype->AddComponent(new Probe);
        for (IComponent* c : components) prototype->AddComponent(c);
        factory.AddArchetypeByName(prototype);
    }

    // The objects made from archetypes so far, in creation order (each
    // announces its Probe); dead ones left out.
    std::vector<GameObject*> Spawned() {
        std::vector<GameObject*> found;
        for (const Heard& h : listener->Of(ComponentAnnounced(TypeId<Probe>::Get())))
            if (GameObject* o = overlord.GetGameObject(h.sender)) found.push_back(o);
        return found;
    }

    // A straight track along z from the origin, 1000 long; a carrier riding
    // it at `distance` and the player's ship as the carrier's child. Sets
    // pathObject, carrierObject, playerObject.
    void MakeTrackAndPlayer(float distance = 0.0f) {
        auto* path = new PlayerPath;
        path->wps.push_back(Waypoint{{0, 0, 0}, {0, 0, 0, 1}});
        path->wps.push_back(Waypoint{{0, 0, 1000}, {0, 0, 0, 1}});
        pathObject = MakeObject({}, {path});
        auto* crawler = new SplineCrawler;
        crawler->splineGameObjectID = pathObject;
        crawler->distance = distance;
        crawler->lookAheadDistance = 2.0f;
        carrierObject = MakeObject({}, {crawler});
        playerObject = MakeObject({0, 50, 0}, {new PlayerStandIn});
        overlord.GetGameObject(playerObject)->SetParent(carrierObject);
    }

    // What GameLogic sends every frame.
    void AnnouncePlayer() { Broadcast(kMsgPlayerObject, 0, playerObject); }
    void SendCode(i32 code) { Broadcast(kMsgTriggerCode, 0, code); }

    // The end of a frame and the start of the next.
    void NextFrame() {
        SpawnBudget::StartFrame();
        graveyard.Collect(1000.0f);
        hub.DispatchQueued();
    }

    template <class T>
    T* Find(u32 objectId) {
        return Overlord::FindComponent<T>(objectId);
    }

    // The log rows so far (the log ends here).
    std::vector<std::string> Rows() { return log.Messages(); }
    static size_t CountContaining(const std::vector<std::string>& rows, const std::string& text) {
        return LogCapture::CountContaining(rows, text);
    }

    LogCapture log;
    MessageHub hub;
    TestIdCounter counter;
    MetaRegistry registry;
    Graveyard graveyard;
    Overlord overlord;
    ObjectFactory factory;
    SceneManager scene;
    std::unique_ptr<Engine> engine = std::make_unique<Engine>();
    GraphicsSystem* graphics = new GraphicsSystem;
    Listener* listener = new Listener;
    u32 pathObject = 0;
    u32 carrierObject = 0;
    u32 playerObject = 0;
};
