// Test doubles for the engine core: a recording component, a recording
// system, and a fixture that creates the engine-wide services in start-up
// order (hub, id counter, graveyard, overlord, engine) and destroys them in
// reverse.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/ComponentList.h"
#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/Graveyard.h"
#include "engine/IComponent.h"
#include "engine/ISystem.h"
#include "engine/MessageHub.h"
#include "engine/Overlord.h"
#include "tests/support/TestIdCounter.h"

// What one receiver saw of one message.
struct Seen {
    u32 receiver;
    u32 type;
    u32 argument;
    u32 sender;
    const void* payload;
    bool hadPayload;
};

// Shared journal of deliveries, shutdowns and destructions in order.
struct Journal {
    std::vector<Seen> seen;
    std::vector<std::string> events;
};

template <class Tag>
class ProbeComponentOf : public IComponent {
public:
    explicit ProbeComponentOf(Journal* journal) : IComponent(TypeId<ProbeComponentOf>::Get()), journal_(journal) {}
    ~ProbeComponentOf() override {
        if (journal_) journal_->events.push_back("delete c" + std::to_string(GetId()));
    }
    void HandleMessage(Message* m) override {
        if (journal_)
            journal_->seen.push_back({GetId(), m->type, m->argument, m->sender, m->payload, m->payload != nullptr});
        if (onMessage) onMessage(m);
    }
    void Update(float) override {}
    void Init() override {
        if (journal_) journal_->events.push_back("init c" + std::to_string(GetId()));
    }
    void Shutdown() override {
        if (journal_) journal_->events.push_back("shutdown c" + std::to_string(GetId()));
    }
    IComponent* Clone() override { return new ProbeComponentOf(journal_); }
    void DebugDraw() override {}
    u32 GetAliasTypeId() override { return 0; }
    void OnOwnerParentChanged(u32 parentId, bool rebuild) override {
        lastParent = parentId;
        lastRebuild = rebuild;
        ++parentChanges;
    }

    std::function<void(Message*)> onMessage;
    u32 lastParent = 0;
    bool lastRebuild = false;
    int parentChanges = 0;

private:
    Journal* journal_;
};

struct ProbeTagA {};
struct ProbeTagB {};
using ProbeComponent = ProbeComponentOf<ProbeTagA>;
using OtherProbeComponent = ProbeComponentOf<ProbeTagB>;

// A system whose hooks record into a journal; typeId is given so tests can
// make several distinct systems of one class.
class ProbeSystem : public ISystem {
public:
    ProbeSystem(u32 typeId, const char* name, Journal* journal, bool active = true)
        : ISystem(typeId), journal_(journal) {
        SetName(name);
        SetActive(active);
    }
    ~ProbeSystem() override {
        if (journal_) journal_->events.push_back(std::string("delete ") + GetName());
        if (onDelete) onDelete();
    }
    void HandleMessage(Message* m) override {
        if (journal_)
            journal_->seen.push_back({GetTypeId(), m->type, m->argument, m->sender, m->payload, m->payload != nullptr});
        if (onMessage) onMessage(m);
    }
    void Update(float dt) override {
        dts.push_back(dt);
        if (journal_) journal_->events.push_back(std::string("update ") + GetName());
        if (onUpdate) onUpdate();
    }
    void Init() override {
        if (journal_) journal_->events.push_back(std::string("init ") + GetName());
    }
    void Clear() override {
        if (journal_) journal_->events.push_back(std::string("clear ") + GetName());
    }
    void Activate() override {
        if (journal_) journal_->events.push_back(std::string("activate ") + GetName());
    }
    void Deactivate() override { UnsubscribeAll(); }
    using ISystem::SetName;

    std::vector<float> dts;
    std::function<void()> onUpdate;
    std::function<void(Message*)> onMessage;
    std::function<void()> onDelete;

private:
    Journal* journal_;
};

class GuiSystem;

// Engine-wide services in start-up order; members destroy in reverse.
class EngineFixture : public ::testing::Test {
protected:
    Journal journal;  // first: outlives everything that writes to it
    std::unique_ptr<MessageHub> hub = std::make_unique<MessageHub>();
    std::unique_ptr<TestIdCounter> counter = std::make_unique<TestIdCounter>();
    std::unique_ptr<Graveyard> graveyard = std::make_unique<Graveyard>();
    std::unique_ptr<Overlord> overlord = std::make_unique<Overlord>();
};
