#include "controls/MouseTrigger.h"

#include "platform/InputSystem.h"

bool MouseTrigger::IsTriggered() {
    InputSystem* input = InputSystem::Instance();
    if (!input) return false;
    switch (mode_) {
        case kModeDown:
        case kModeDownToo:
            return input->IsButtonDown(button_);
        case kModeReleased:
            return input->MouseButtonReleased(button_);
        case kModeUp:
            return !input->IsButtonDown(button_);
        case kModeDragged:
            return input->IsButtonDragged(button_);
        default:
            return false;
    }
}
