// A small state machine that turns input into effects: inactive or active,
// it switches when every trigger awaited in its state holds, running the
// switch actions, then the per-frame actions of its (new) state. Built by a
// system, then owned by the GuiSystem, which updates and deletes it; owns its
// triggers and actions. Also a message target under its id (resolver
// GuiSystem::ResolveControl). Main thread only.
#pragma once

#include <utility>
#include <vector>

#include "core/Types.h"
#include "engine/IMessaging.h"
#include "engine/MessageKind.h"

class ControlAction;
class ControlTrigger;

class Control : public IMessaging {
public:
    static constexpr u32 kCategoryCapturing = 0;
    static constexpr u32 kCategoryNormal = 1;
    static constexpr u32 kCategoryAlways = 2;

    // Name "MouseController", category 1.
    Control();
    // name is not owned (a constant string).
    Control(const char* name, u32 category);
    // Deletes every trigger and action; drops the control's subscriptions.
    ~Control() override;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // OnMessage, then the per-frame actions of the current state, then the
    // triggers awaited in it.
    void HandleMessage(Message* message) override;
    // Subscribes the control's id to the kind with GuiSystem::ResolveControl.
    template <class P>
    void Subscribe(const Kind<P>& kind) {
        SubscribeId(kind.type, kind.argument);
    }
    virtual void OnActivate() {}
    virtual void UpdateActive(float) {}
    virtual void UpdateInactive(float) {}
    virtual void OnDeactivate() {}
    virtual void OnMessage(Message*) {}

    // Called by the GuiSystem once per frame while the control's group is on.
    void Update(float dt);

    // Append and Register(this).
    void AddActivateTrigger(ControlTrigger* trigger);
    void AddDeactivateTrigger(ControlTrigger* trigger);
    void AddActiveAction(ControlAction* action);
    // Append only.
    void AddActivateAction(ControlAction* action);
    void AddDeactivateAction(ControlAction* action);
    void AddInactiveAction(ControlAction* action);

    u32 GetId() const { return id_; }
    u32 GetGroup() const { return group_; }
    void SetGroup(u32 group) { group_ = group; }
    const char* GetName() const { return name_; }
    u32 GetCategory() const { return category_; }
    bool IsActive() const { return state_; }
    // Flips the state without running actions (a control switching itself off).
    void SetState(bool active) { state_ = active; }

    const std::vector<ControlTrigger*>& GetActivateTriggers() const { return activateTriggers_; }
    const std::vector<ControlTrigger*>& GetDeactivateTriggers() const { return deactivateTriggers_; }

private:
    void SubscribeId(u32 type, u32 argument);

    u32 id_;
    u32 group_ = 0;
    const char* name_;
    u32 category_;
    bool state_ = false;
    std::vector<ControlAction*> activateActions_;
    std::vector<ControlAction*> deactivateActions_;
    std::vector<ControlAction*> activeActions_;
    std::vector<ControlAction*> inactiveActions_;
    std::vector<ControlTrigger*> activateTriggers_;
    std::vector<ControlTrigger*> deactivateTriggers_;
    std::vector<std::pair<u32, u32>> subscriptions_;
};
