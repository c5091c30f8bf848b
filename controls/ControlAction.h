// An effect a Control runs when it switches or every frame of a state. Owned
// by its Control; Clone makes a deep copy. Main thread only.
#pragma once

struct Message;
class Control;

class ControlAction {
public:
    virtual ~ControlAction() = default;
    // The Control ignores the result.
    virtual bool Execute() { return false; }
    virtual ControlAction* Clone() const = 0;
    virtual void HandleMessage(Message*) {}
    virtual void Register(Control*) {}
};
