// The ids an editor control acting on a click keeps from the editor's
// messages: the selected object (every frame), the object and the proxy under
// the pointer (from the picking). A value member of its control; main thread.
#pragma once
#include "core/Types.h"

class Control;
struct Message;

struct EditorPickState {
    u32 selectedObject = 0;
    u32 pickedObject = 0;
    u32 pickedProxy = 0;

    // Subscribes the control to the three messages.
    static void Subscribe(Control& control);
    // Takes the id a message carries; false for any other message.
    bool Take(Message* message);
};
