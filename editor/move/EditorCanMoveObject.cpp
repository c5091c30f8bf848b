#include "editor/move/EditorCanMoveObject.h"

#include "controls/Control.h"
#include "engine/Message.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "render/mesh/Model.h"

bool EditorCanMoveObject::IsTriggered() {
    if (selectedObject_ == 0) return false;
    if (Overlord::FindComponent<Model>(selectedObject_)) return pickedObject_ == selectedObject_;
    if (Overlord::FindComponent<Model>(selectedProxy_)) return pickedProxy_ != 0 && pickedProxy_ == selectedProxy_;
    return false;
}

void EditorCanMoveObject::HandleMessage(Message* message) {
    if (const u32* selected = message->Read(kMsgSelectedObject))
        selectedObject_ = *selected;
    else if (const u32* picked = message->Read(kMsgPickedObject))
        pickedObject_ = *picked;
    else if (const u32* pickedProxy = message->Read(kMsgPickedProxy))
        pickedProxy_ = *pickedProxy;
    else if (const u32* selectedProxy = message->Read(kMsgSelectedProxy))
        selectedProxy_ = *selectedProxy;
}

void EditorCanMoveObject::Register(Control* control) {
    control->Subscribe(kMsgSelectedObject);
    control->Subscribe(kMsgPickedObject);
    control->Subscribe(kMsgPickedProxy);
    control->Subscribe(kMsgSelectedProxy);
}
