#include "controls/KeyTrigger.h"

#include "platform/InputSystem.h"

bool KeyTrigger::IsTriggered() {
    InputSystem* input = InputSystem::Instance();
    if (!input) return false;
    bool inMode = false;
    switch (mode_) {
        case kModeUp:
            inMode = input->IsKeyUp(virtualKey_);
            break;
        case kModeHeld:
            inMode = input->IsKeyDown(virtualKey_);
            break;
        case kModeReleased:
            inMode = input->WasKeyReleased(virtualKey_);
            break;
        case kModePressed:
            inMode = input->WasKeyPressed(virtualKey_);
            break;
        case kModeDownThisFrame:
            inMode = input->IsKeyDown(virtualKey_) || input->WasKeyPressed(virtualKey_);
            break;
        case kModeDownInFrame:
            inMode = input->IsKeyDown(virtualKey_) || input->WasKeyPressed(virtualKey_) ||
                     input->WasKeyReleased(virtualKey_);
            break;
        default:
            return false;
    }
    if (!inMode) return false;
    // A key that is up, or was let go, is so whatever Ctrl does: otherwise a
    // control held on a key and let go on its release stays on for as long as
    // Ctrl is held after the key came up.
    if (!needsCtrl_ && (mode_ == kModeUp || mode_ == kModeReleased)) return true;
    const bool isCtrlKey = virtualKey_ == 0x11 || virtualKey_ == 0xA2 || virtualKey_ == 0xA3;
    // A press goes with the Ctrl state of its moment, not of the frame's end:
    // Ctrl+Z tapped within one slow frame is an undo, not the Z key alone.
    const bool press = mode_ == kModePressed || ((mode_ == kModeDownThisFrame || mode_ == kModeDownInFrame) &&
                                                 input->WasKeyPressed(virtualKey_));
    const bool ctrl = press ? input->WasKeyPressedWithCtrl(virtualKey_) : input->IsCtrlHeld();
    return isCtrlKey || ctrl == needsCtrl_;
}
