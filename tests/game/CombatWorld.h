// Test support for colliders, the collision system and Health: the services
// of TrackWorld, objects built from several components, and a recorder
// component that writes down every message its object receives.
#pragma once
#include <initializer_list>
#include <vector>

#include "TrackWorld.h"
#include "engine/Component.h"
#include "game/physics/CollisionSystem.h"
#include "game/physics/SphereCollision.h"

// One message an object received: its kind, sender and a float payload (0 without).
struct Received {
    u32 receiver;
    u32 type;
    u32 argument;
    u32 sender;
    float value;
};

inline std::vector<Received>& Inbox() {
    static std::vector<Received> inbox;
    return inbox;
}

class Recorder : public Component<Recorder> {
public:
    void HandleMessage(Message* m) override {
        const float value =
            (m->payload && m->payloadSize == sizeof(float)) ? *static_cast<const float*>(m->payload) : 0.0f;
        Inbox().push_back({GetOwner(), m->type, m->argument, m->sender, value});
    }
};

// An engine system that records what it is sent or subscribed to.
class Listener : public ISystem {
public:
    Listener() : ISystem(TypeId<Listener>::Get()) {}
    void HandleMessage(Message* m) override {
        const float value =
            (m->payload && m->payloadSize == sizeof(float)) ? *static_cast<const float*>(m->payload) : 0.0f;
        heard.push_back({0, m->type, m->argument, m->sender, value});
    }
    std::vector<float> Values(u32 type, u32 argument) const {
        std::vector<float> values;
        for (const Received& r : heard)
            if (r.type == type && r.argument == argument) values.push_back(r.value);
        return values;
    }
    std::vector<Received> heard;
};

class CombatWorld : public TrackWorld {
protected:
    CombatWorld() { Inbox().clear(); }

    // An object with a Transform at `at`, the components in order and a
    // Recorder last; initialised and announced.
    u32 Make(const D3DXVECTOR3& at, std::initializer_list<IComponent*> components) {
        GameObject* object = factory.NewGameObject();
        auto* transform = new Transform;
        transform->position = transform->worldPosition = at;
        object->AddComponent(transform);
        for (IComponent* c : components) object->AddComponent(c);
        object->AddComponent(new Recorder);
        object->Init();
        object->AnnounceComponents();
        return object->GetId();
    }

    static SphereCollision* Sphere(float radius, int group = 0) {
        auto* sphere = new SphereCollision;
        sphere->radius = radius;
        sphere->collisionGroup = group;
        return sphere;
    }

    void MoveTo(u32 objectId, const D3DXVECTOR3& at) {
        Transform* t = Find<Transform>(objectId);
        t->position = t->worldPosition = at;
    }

    // The (type, argument) messages received so far, as (receiver, sender).
    static std::vector<std::pair<u32, u32>> Got(u32 type, u32 argument) {
        std::vector<std::pair<u32, u32>> got;
        for (const Received& r : Inbox())
            if (r.type == type && r.argument == argument) got.emplace_back(r.receiver, r.sender);
        return got;
    }

    // A Listener in the engine, subscribed to the kinds.
    template <class... K>
    Listener* Listen(const K&... kinds) {
        auto* listener = new Listener;
        engine->AddSystem(listener);
        (hub.Subscribe(listener, kinds.type, kinds.argument), ...);
        return listener;
    }

    // A collision system in the engine, initialised.
    CollisionSystem* AddCollisionSystem() {
        auto* system = new CollisionSystem;
        engine->AddSystem(system);
        system->Init();
        return system;
    }
};
