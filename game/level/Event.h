// A generic level event: lists of control triggers and actions (the control
// framework's) that it owns. Once any activate trigger holds it runs its
// activate actions once; then each deactivate trigger that holds runs the
// deactivate actions and the event is done for good. Built in code (the
// lists cannot come from files); no system updates it in play. Owned by its
// object; main thread only.
#pragma once
#include <vector>

#include "engine/Component.h"

class ControlAction;
class ControlTrigger;

class Event : public Component<Event> {
public:
    Event() = default;
    // A clone owns clones of the source's triggers and actions.
    Event(const Event& other);
    // Deletes what Shutdown has not (a component that never ran).
    ~Event() override;
    static void Reflect(MemberList<Event>& members);

    void Update(float dt) override;
    // Idle again: not done, not active, activate actions not run.
    void Init() override;
    // Deletes every trigger and action and empties the lists.
    void Shutdown() override;

    bool IsDone() const { return done_; }
    bool IsActive() const { return active_; }

    // Reflected, in file order; owned.
    std::vector<ControlTrigger*> activateTriggers;
    std::vector<ControlTrigger*> deactivateTriggers;
    std::vector<ControlAction*> activateActions;
    std::vector<ControlAction*> deactivateActions;

private:
    bool done_ = false;
    bool activateActionsRun_ = false;
    bool active_ = false;
};
