#include "game/level/Event.h"

#include "controls/ControlAction.h"
#include "controls/ControlTrigger.h"

namespace {

template <class T>
std::vector<T*> CloneAll(const std::vector<T*>& source) {
    std::vector<T*> copies;
    copies.reserve(source.size());
    for (const T* element : source) copies.push_back(element ? element->Clone() : nullptr);
    return copies;
}

template <class T>
void DeleteAll(std::vector<T*>& list) {
    for (T* element : list) delete element;
    list.clear();
}

}  // namespace

Event::Event(const Event& other)
    : Component<Event>(other),
      activateTriggers(CloneAll(other.activateTriggers)),
      deactivateTriggers(CloneAll(other.deactivateTriggers)),
      activateActions(CloneAll(other.activateActions)),
      deactivateActions(CloneAll(other.deactivateActions)),
      done_(other.done_),
      activateActionsRun_(other.activateActionsRun_),
      active_(other.active_) {}

Event::~Event() {
    Shutdown();
}

void Event::Reflect(MemberList<Event>& members) {
    members.Add("activateTriggers", &Event::activateTriggers);
    members.Add("deactivateTriggers", &Event::deactivateTriggers);
    members.Add("activateActions", &Event::activateActions);
    members.Add("deactivateActions", &Event::deactivateActions);
}

void Event::Init() {
    done_ = activateActionsRun_ = active_ = false;
}

void Event::Shutdown() {
    DeleteAll(activateTriggers);
    DeleteAll(deactivateTriggers);
    DeleteAll(activateActions);
    DeleteAll(deactivateActions);
}

void Event::Update(float) {
    if (done_) return;
    if (!active_) {
        for (ControlTrigger* trigger : activateTriggers)
            if (trigger && trigger->IsTriggered()) active_ = true;  // every trigger is asked
    }
    if (!active_) return;
    if (!activateActionsRun_) {
        activateActionsRun_ = true;
        for (ControlAction* action : activateActions)
            if (action) action->Execute();
    }
    for (ControlTrigger* trigger : deactivateTriggers) {
        if (!trigger || !trigger->IsTriggered()) continue;
        for (ControlAction* action : deactivateActions)
            if (action) action->Execute();
        active_ = false;
        done_ = true;
    }
}
