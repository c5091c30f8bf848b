#include "controls/Control.h"

#include "controls/ControlAction.h"
#include "controls/ControlTrigger.h"
#include "controls/GuiSystem.h"
#include "core/IdCounter.h"
#include "engine/MessageHub.h"

Control::Control() : Control("MouseController", kCategoryNormal) {}

Control::Control(const char* name, u32 category) : id_(NewId()), name_(name), category_(category) {}

Control::~Control() {
    if (MessageHub* hub = MessageHub::Instance())
        for (const auto& [type, argument] : subscriptions_) hub->Unsubscribe(type, argument, id_);
    for (auto* list : {&activateActions_, &deactivateActions_, &activeActions_, &inactiveActions_})
        for (ControlAction* action : *list) delete action;
    for (auto* list : {&activateTriggers_, &deactivateTriggers_})
        for (ControlTrigger* trigger : *list) delete trigger;
}

void Control::SubscribeId(u32 type, u32 argument) {
    MessageHub* hub = MessageHub::Instance();
    if (!hub) return;
    hub->SubscribeResolver(type, argument, id_, &GuiSystem::ResolveControl);
    subscriptions_.emplace_back(type, argument);
}

void Control::HandleMessage(Message* message) {
    OnMessage(message);
    // Indexes, not iterators: a handler may add actions or triggers.
    const std::vector<ControlAction*>& actions = state_ ? activeActions_ : inactiveActions_;
    for (size_t i = 0; i < actions.size(); ++i)
        if (actions[i]) actions[i]->HandleMessage(message);
    const std::vector<ControlTrigger*>& triggers = state_ ? deactivateTriggers_ : activateTriggers_;
    for (size_t i = 0; i < triggers.size(); ++i)
        if (triggers[i]) triggers[i]->HandleMessage(message);
}

void Control::Update(float dt) {
    const std::vector<ControlTrigger*>& awaited = state_ ? deactivateTriggers_ : activateTriggers_;
    const std::vector<ControlAction*>& switchActions = state_ ? deactivateActions_ : activateActions_;
    bool allHeld = !awaited.empty();
    for (size_t i = 0; allHeld && i < awaited.size(); ++i) allHeld = awaited[i] && awaited[i]->IsTriggered();
    if (allHeld) {
        for (size_t i = 0; i < switchActions.size(); ++i)
            if (switchActions[i]) switchActions[i]->Execute();
        state_ = !state_;
        if (state_)
            OnActivate();
        else
            OnDeactivate();
    }
    if (state_) {
        UpdateActive(dt);
        for (size_t i = 0; i < activeActions_.size(); ++i)
            if (activeActions_[i]) activeActions_[i]->Execute();
    } else {
        UpdateInactive(dt);
        for (size_t i = 0; i < inactiveActions_.size(); ++i)
            if (inactiveActions_[i]) inactiveActions_[i]->Execute();
    }
}

void Control::AddActivateTrigger(ControlTrigger* trigger) {
    activateTriggers_.push_back(trigger);
    if (trigger) trigger->Register(this);
}

void Control::AddDeactivateTrigger(ControlTrigger* trigger) {
    deactivateTriggers_.push_back(trigger);
    if (trigger) trigger->Register(this);
}

void Control::AddActiveAction(ControlAction* action) {
    activeActions_.push_back(action);
    if (action) action->Register(this);
}

void Control::AddActivateAction(ControlAction* action) {
    activateActions_.push_back(action);
}

void Control::AddDeactivateAction(ControlAction* action) {
    deactivateActions_.push_back(action);
}

void Control::AddInactiveAction(ControlAction* action) {
    inactiveActions_.push_back(action);
}
