// Holds when a key is in a mode (1 up, 2 held, 3 released this frame, 4
// pressed this frame, 5 held or pressed this frame, 6 down at some moment of
// this frame: held, pressed or let go in it) and the Ctrl key's state (for a press, its state when the
// key went down) equals the needs-Ctrl flag; up and released without the flag
// hold whether Ctrl is held or not.
// Reads InputSystem. Owned by its Control.
#pragma once

#include "controls/ControlTrigger.h"
#include "core/Types.h"

class KeyTrigger : public ControlTrigger {
public:
    static constexpr u32 kModeUp = 1;
    static constexpr u32 kModeHeld = 2;
    static constexpr u32 kModeReleased = 3;
    static constexpr u32 kModePressed = 4;
    // For controls that start on a held key: a quick press still counts once.
    static constexpr u32 kModeDownThisFrame = 5;
    // For a key held while the mouse clicks: one let go in the frame the
    // click ends still counts (a slow frame takes in both).
    static constexpr u32 kModeDownInFrame = 6;

    KeyTrigger(u32 virtualKey, u32 mode, bool needsCtrl = false)
        : virtualKey_(virtualKey), mode_(mode), needsCtrl_(needsCtrl) {}
    // A trigger on a Ctrl key itself (0x11, 0xA2, 0xA3) skips the Ctrl
    // comparison: holding that key is what it waits for.
    bool IsTriggered() override;
    ControlTrigger* Clone() const override { return new KeyTrigger(*this); }

    u32 GetVirtualKey() const { return virtualKey_; }
    u32 GetMode() const { return mode_; }
    bool NeedsCtrl() const { return needsCtrl_; }

private:
    u32 virtualKey_;
    u32 mode_;
    bool needsCtrl_;
};
