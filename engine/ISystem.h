// An engine system: everything that runs once per frame. Systems live in an
// intrusive list owned by their parent (the Engine for top-level systems),
// newest first; a parent updates and deletes its own children. A system is
// also a message target under its type id, and remembers what it subscribed
// to and which controls it handed to the GuiSystem. Main thread only.
#pragma once
#include <utility>
#include <vector>

#include "core/TypeId.h"
#include "core/Types.h"
#include "engine/IMessaging.h"
#include "engine/MessageHub.h"

class GuiSystem;

class ISystem : public IMessaging {
public:
    // typeId: TypeId<the concrete class>::Get(); name "ISystem", active, not
    // paused, unlinked.
    explicit ISystem(u32 typeId);
    // Frees the system's own lists; deletes neither child systems nor controls.
    ~ISystem() override;

    // The hooks do nothing unless a system overrides them.
    void HandleMessage(Message* message) override;
    // dt in seconds.
    virtual void Update(float dt);
    // Builds the system once.
    virtual void Init();
    // Drops per-scene state.
    virtual void Clear();
    // As a rule subscribes to the system's messages.
    virtual void Activate();
    // As a rule UnsubscribeAll().
    virtual void Deactivate();
    virtual void SetPaused(bool paused);
    // Pushes the child on the front of the child list; this system then owns it.
    virtual void AddSystem(ISystem* child);
    // Unlinks the child, clears its parent and deletes it; a system that is
    // not in this list is left alone.
    virtual void RemoveSystem(ISystem* child);

    const char* GetName() const { return name_; }
    u32 GetTypeId() const { return typeId_; }
    bool IsActive() const { return active_; }
    void SetActive(bool active) { active_ = active; }
    bool IsPaused() const { return paused_; }

    u32 GetChildCount() const { return childCount_; }
    ISystem* GetChildHead() const { return childHead_; }
    ISystem* GetNext() const { return next_; }
    ISystem* GetPrevious() const { return previous_; }
    ISystem* GetParent() const { return parent_; }

    // Files this system under the kind and records the pair.
    template <class P>
    void Subscribe(const Kind<P>& kind) {
        Subscribe(kind.type, kind.argument);
    }
    // Erases this system's table entry for every recorded pair; the list stays.
    void UnsubscribeAll();
    // Files the system again under every recorded pair.
    void SubscribeAll();
    const std::vector<std::pair<u32, u32>>& GetSubscriptions() const { return subscriptions_; }

    // Hands a control to the GuiSystem at once (kMsgAddControl; the GuiSystem
    // takes ownership) and records its id. A null control does nothing.
    template <class TControl>
    void AddControl(TControl* control) {
        if (!control) return;
        HandOverControl(control, control->GetId());
    }
    // Queues kMsgRemoveControl to the GuiSystem for every recorded control
    // id; the list stays as it is.
    void RemoveControls();
    const std::vector<u32>& GetControlIds() const { return controlIds_; }

    // To the subscribers of the kind at once, sender = this system.
    template <class P, class... V>
    requires PayloadArguments<P, V...>
    void Broadcast(const Kind<P>& kind, const V&... payload) const { ::Broadcast(kind, typeId_, payload...); }

protected:
    // Unlinks node from list's child list when it is a member of that list;
    // any other node is left alone. Returns whether it was unlinked.
    static bool DetachNode(ISystem* list, ISystem* node);
    void SetName(const char* name) { name_ = name; }
    void SetPausedFlag(bool paused) { paused_ = paused; }

private:
    friend class MessageHub;
    void Subscribe(u32 type, u32 argument);
    void HandOverControl(void* control, u32 controlId);

    u32 childCount_ = 0;
    ISystem* childHead_ = nullptr;
    const char* name_ = "ISystem";
    std::vector<u32> controlIds_;
    std::vector<std::pair<u32, u32>> subscriptions_;
    ISystem* next_ = nullptr;
    ISystem* previous_ = nullptr;
    ISystem* parent_ = nullptr;
    u32 typeId_;
    bool active_ = true;
    bool paused_ = false;
};
