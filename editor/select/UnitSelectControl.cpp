#include "editor/select/UnitSelectControl.h"

#include "engine/Message.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"

UnitSelectControl::UnitSelectControl(u32 sender) : Control("UnitSelectControl", kCategoryCapturing), sender_(sender) {
    Subscribe(kMsgSelectedObject);
    Subscribe(kMsgSelectedProxy);
    Subscribe(kMsgPickedObject);
    Subscribe(kMsgPickedProxy);
}

void UnitSelectControl::OnMessage(Message* message) {
    if (const u32* selected = message->Read(kMsgSelectedObject))
        selectedObject_ = *selected;
    else if (const u32* proxy = message->Read(kMsgSelectedProxy))
        selectedProxy_ = *proxy;
    else if (const u32* picked = message->Read(kMsgPickedObject))
        pickedObject_ = *picked;
    else if (const u32* pickedProxy = message->Read(kMsgPickedProxy))
        pickedProxy_ = *pickedProxy;
}

void UnitSelectControl::UpdateActive(float) {
    // A pick of an object deleted since (the picking tells the new pick by
    // the next frame) takes nothing.
    if (pickedObject_ != 0 && !Overlord::FindObject(pickedObject_)) return;
    if (pickedObject_ != 0 && pickedObject_ != selectedObject_) {
        selectedObject_ = pickedObject_;
        ::Broadcast(kMsgSelectObject, sender_, pickedObject_);
    }
    // Compared with the Editor's pick, not with the last one sent: after a
    // deselect the same proxy is picked again.
    if (pickedProxy_ != 0 && pickedProxy_ != selectedProxy_) {
        selectedProxy_ = pickedProxy_;
        ::Broadcast(kMsgPickObject, sender_, pickedProxy_);
    }
}
