#include "editor/move/EditorMoveUndoSystem.h"

#include "controls/Control.h"
#include "controls/DoAlwaysTrigger.h"
#include "controls/KeyTrigger.h"
#include "controls/MessageAction.h"
#include "editor/move/ObjectMover.h"
#include "engine/Message.h"
#include "engine/MessageTypes.h"

namespace {
// Ctrl+key pressed: the Ctrl flag is tested against either Ctrl key, so a
// key trigger that wants Ctrl up would never fire while Ctrl is held.
Control* MakeCtrlKeyControl(const char* name, u32 key, const Kind<u32>& kind, u32 sender) {
    auto* control = new Control(name, Control::kCategoryNormal);
    control->AddActivateTrigger(new KeyTrigger(key, KeyTrigger::kModePressed, true));
    control->AddDeactivateTrigger(new DoAlwaysTrigger());
    control->AddActivateAction(new MessageAction<u32>(sender, kind, 0));
    return control;
}
}  // namespace

EditorMoveUndoSystem::EditorMoveUndoSystem() : ISystem(TypeId<EditorMoveUndoSystem>::Get()) {
    SetName("EditorMoveUndoSystem");
}

void EditorMoveUndoSystem::Activate() {
    UnsubscribeAll();
    Subscribe(kMsgMoveRecord);
    Subscribe(kMsgUndoMove);
    Subscribe(kMsgRedoMove);
    RemoveControls();
    AddControl(MakeCtrlKeyControl("UndoMovementControl", 0x5A, kMsgUndoMove, GetTypeId()));
    AddControl(MakeCtrlKeyControl("RedoMovementControl", 0x59, kMsgRedoMove, GetTypeId()));
}

void EditorMoveUndoSystem::Deactivate() {
    UnsubscribeAll();
    RemoveControls();
}

void EditorMoveUndoSystem::HandleMessage(Message* message) {
    if (const MoveRecord* record = message->Read(kMsgMoveRecord))
        Record(*record);
    else if (message->Is(kMsgUndoMove))
        Undo();
    else if (message->Is(kMsgRedoMove))
        Redo();
}

void EditorMoveUndoSystem::Record(const MoveRecord& record) {
    undo_.push_back(record);
    redo_.clear();
}

void EditorMoveUndoSystem::Undo() {
    Step(undo_, redo_);
}

void EditorMoveUndoSystem::Redo() {
    Step(redo_, undo_);
}

void EditorMoveUndoSystem::Step(std::deque<MoveRecord>& from, std::deque<MoveRecord>& to) {
    if (from.empty()) return;
    const MoveRecord record = from.back();
    from.pop_back();
    to.push_back(Apply(record));
}

MoveRecord EditorMoveUndoSystem::Apply(const MoveRecord& record) {
    const ObjectMover mover(record.objectId);
    if (!mover.GetTransform()) return record;
    const MoveRecord was = mover.Where();
    mover.MoveTo({record.x, record.y, record.z});
    // It need no longer be the selection.
    ::Broadcast(kMsgObjectPlaced, TypeId<EditorMoveUndoSystem>::Get(), record.objectId);
    return was;
}
