// Holds while the editor has an object selected: keeps the id of the
// selected-object broadcast (kMsgSelectedObject, every frame), which it
// subscribes its control to. Owned by its Control; main thread only.
#pragma once
#include "controls/ControlTrigger.h"
#include "core/Types.h"

class ObjectSelectedTrigger : public ControlTrigger {
public:
    bool IsTriggered() override { return selectedObject_ != 0; }
    ControlTrigger* Clone() const override { return new ObjectSelectedTrigger(*this); }
    void HandleMessage(Message* message) override;
    void Register(Control* control) override;

private:
    u32 selectedObject_ = 0;
};
