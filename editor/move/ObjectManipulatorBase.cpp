#include "editor/move/ObjectManipulatorBase.h"

#include "editor/mode/EditorControlState.h"
#include "editor/mode/EditorNotice.h"
#include "editor/move/MoveRecord.h"
#include "editor/move/ObjectMover.h"
#include "engine/Message.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "render/mesh/Model.h"

namespace {
constexpr float kRadiansPerDegree = 0.017453292f;

}  // namespace

ObjectManipulatorBase::ObjectManipulatorBase(const char* name, u32 category) : Control(name, category) {
    Subscribe(kMsgPickedObject);
    Subscribe(kMsgPickedProxy);
    Subscribe(kMsgEditorSettings);
    // The selection also as it changes, so that a move in the same frame as
    // a click or Tab already applies to the new selection.
    Subscribe(kMsgSelectObject);
    Subscribe(kMsgPickObject);
}

void ObjectManipulatorBase::OnMessage(Message* message) {
    if (const u32* picked = message->Read(kMsgPickedObject)) {
        pickedObject_ = *picked;
    } else if (const u32* proxy = message->Read(kMsgPickedProxy)) {
        pickedProxy_ = *proxy;
    } else if (const u32* selected = message->Read(kMsgSelectObject)) {
        selectedObject_ = *selected;
    } else if (const u32* selectedProxy = message->Read(kMsgPickObject)) {
        selectedProxy_ = *selectedProxy;
    } else if (const EditorControlState* settings = message->Read(kMsgEditorSettings)) {
        rotateStep_ = settings->rotateStepAngleDegrees * kRadiansPerDegree;
        selectedObject_ = settings->selectedObject;
        selectedProxy_ = settings->pickedObject;
        rotateMode_ = settings->rotateMode;
        worldAxes_ = settings->objectMoveMode;
        moveSpeed_ = settings->objectMoveSpeed;
        axisEnabled_[0] = settings->axisLocks.x != 0.0f;
        axisEnabled_[1] = settings->axisLocks.y != 0.0f;
        axisEnabled_[2] = settings->axisLocks.z != 0.0f;
    }
}

u32 ObjectManipulatorBase::BroadcastMoveRecord(bool record) {
    if (selectedProxy_ == 0 && selectedObject_ == 0) return 0;
    const u32 target = Overlord::FindComponent<Model>(selectedProxy_) ? selectedProxy_ : selectedObject_;
    if (!record || target == 0) return target;
    const ObjectMover mover = ObjectMover::ForTarget(target);
    if (!mover.GetTransform()) return target;
    ::Broadcast(kMsgMoveRecord, GetId(), mover.Where());
    // The save keeps the new place, but the next load moves such an object again.
    if (const std::string placement = LoadPlacement(mover.GetObjectId()); !placement.empty())
        PostEditorNotice(GetId(), "Move: " + ObjectLabel(mover.GetObjectId()) +
                                      " goes back at the next load, placed by " + placement);
    return target;
}
