#include "editor/select/EditorPickState.h"

#include "controls/Control.h"
#include "engine/Message.h"
#include "engine/MessageTypes.h"

void EditorPickState::Subscribe(Control& control) {
    control.Subscribe(kMsgSelectedObject);
    control.Subscribe(kMsgPickedObject);
    control.Subscribe(kMsgPickedProxy);
}

bool EditorPickState::Take(Message* message) {
    if (const u32* selected = message->Read(kMsgSelectedObject))
        selectedObject = *selected;
    else if (const u32* picked = message->Read(kMsgPickedObject))
        pickedObject = *picked;
    else if (const u32* proxy = message->Read(kMsgPickedProxy))
        pickedProxy = *proxy;
    else
        return false;
    return true;
}
