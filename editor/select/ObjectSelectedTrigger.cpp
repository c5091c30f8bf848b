#include "editor/select/ObjectSelectedTrigger.h"

#include "controls/Control.h"
#include "engine/Message.h"
#include "engine/MessageTypes.h"

void ObjectSelectedTrigger::HandleMessage(Message* message) {
    if (const u32* selected = message->Read(kMsgSelectedObject)) selectedObject_ = *selected;
}

void ObjectSelectedTrigger::Register(Control* control) {
    control->Subscribe(kMsgSelectedObject);
}
