// Holds when a mouse button (0 left, 1 right, 2 third) is in a mode: 0 and 2
// down, 1 released this frame, 3 up, 5 dragged; 4 and others never. Reads
// InputSystem. Owned by its Control.
#pragma once

#include "controls/ControlTrigger.h"
#include "core/Types.h"

class MouseTrigger : public ControlTrigger {
public:
    static constexpr u32 kModeDown = 0;
    static constexpr u32 kModeReleased = 1;
    static constexpr u32 kModeDownToo = 2;
    static constexpr u32 kModeUp = 3;
    static constexpr u32 kModeNever = 4;
    static constexpr u32 kModeDragged = 5;

    MouseTrigger(u32 button, u32 mode) : button_(button), mode_(mode) {}
    bool IsTriggered() override;
    ControlTrigger* Clone() const override { return new MouseTrigger(*this); }

private:
    u32 button_;
    u32 mode_;
};
