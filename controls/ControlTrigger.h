// A condition a Control waits for. Owned by its Control (or by the trigger
// that wraps it); Clone makes a deep copy. Main thread only.
#pragma once

struct Message;
class Control;

class ControlTrigger {
public:
    virtual ~ControlTrigger() = default;
    virtual bool IsTriggered() { return false; }
    virtual ControlTrigger* Clone() const = 0;
    // Messages sent to the owning control while this trigger is awaited.
    virtual void HandleMessage(Message*) {}
    // Called once when the trigger joins a control (subscriptions go here).
    virtual void Register(Control*) {}
};
