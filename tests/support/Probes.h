// Probe component and system for tests: they record what reaches them (into
// a shared Journal when given one, and into their own lists) and can run a
// test's code in their hooks. Owned like any component or system.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "engine/IComponent.h"
#include "engine/ISystem.h"
#include "engine/Message.h"
#include "engine/MessageKind.h"

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

// A fixture's journal, as a base listed before the services, so it outlives
// everything that writes to it.
struct WithJournal {
    Journal journal;
};

template <class Tag>
class ProbeComponentOf : public IComponent {
public:
    explicit ProbeComponentOf(Journal* journal = nullptr)
        : IComponent(TypeId<ProbeComponentOf>::Get()), journal_(journal) {}
    ~ProbeComponentOf() override { Note("delete c"); }
    void HandleMessage(Message* m) override {
        if (journal_)
            journal_->seen.push_back({GetId(), m->type, m->argument, m->sender, m->payload, m->payload != nullptr});
        types.push_back(m->type);
        const u32* value = m->Read(Kind<u32>{m->type, m->argument});  // 0 for other payloads
        payloads.push_back(value ? *value : 0);
        if (onMessage) onMessage(m);
    }
    void Init() override { Note("init c"); }
    void Shutdown() override { Note("shutdown c"); }
    IComponent* Clone() override { return new ProbeComponentOf(journal_); }
    void OnOwnerParentChanged(u32 parentId, bool rebuild) override {
        lastParent = parentId;
        lastRebuild = rebuild;
        ++parentChanges;
    }

    std::function<void(Message*)> onMessage;
    std::vector<u32> types;
    std::vector<u32> payloads;  // u32 payloads; 0 for others
    u32 lastParent = 0;
    bool lastRebuild = false;
    int parentChanges = 0;

private:
    void Note(const char* what) {
        if (journal_) journal_->events.push_back(what + std::to_string(GetId()));
    }
    Journal* journal_;
};

struct ProbeTagA {};
struct ProbeTagB {};
using ProbeComponent = ProbeComponentOf<ProbeTagA>;
using OtherProbeComponent = ProbeComponentOf<ProbeTagB>;

// A system whose hooks record into a journal and its own lists; typeId is
// given so tests can make several distinct systems of one class, or stand
// one in for a real system's type id.
class ProbeSystem : public ISystem {
public:
    explicit ProbeSystem(u32 typeId, const char* name = "probe", Journal* journal = nullptr, bool active = true)
        : ISystem(typeId), journal_(journal) {
        SetName(name);
        SetActive(active);
    }
    ~ProbeSystem() override {
        Note("delete ");
        if (onDelete) onDelete();
    }
    void HandleMessage(Message* m) override {
        if (journal_)
            journal_->seen.push_back({GetTypeId(), m->type, m->argument, m->sender, m->payload, m->payload != nullptr});
        types.push_back(m->type);
        arguments.push_back(m->argument);
        if (onMessage) onMessage(m);
    }
    void Update(float dt) override {
        dts.push_back(dt);
        Note("update ");
        if (onUpdate) onUpdate();
    }
    void Init() override { Note("init "); }
    void Clear() override { Note("clear "); }
    void Activate() override { Note("activate "); }
    void Deactivate() override { UnsubscribeAll(); }
    using ISystem::SetName;

    std::vector<float> dts;
    std::vector<u32> types;
    std::vector<u32> arguments;
    std::function<void()> onUpdate;
    std::function<void(Message*)> onMessage;
    std::function<void()> onDelete;

private:
    void Note(const char* what) {
        if (journal_) journal_->events.push_back(what + std::string(GetName()));
    }
    Journal* journal_;
};
