// The undo and redo history of editor moves: every manipulator reports the
// object it is about to move and its world position (kMsgMoveRecord); Ctrl+Z
// puts the object back there, Ctrl+Y returns it to where it was before that
// undo. Both stacks are unlimited and outlive scene changes. A child system of
// the Editor, made in its Init and deleted with it. Main thread only.
#pragma once
#include <deque>

#include "editor/move/MoveRecord.h"
#include "engine/ISystem.h"

class EditorMoveUndoSystem : public ISystem {
public:
    EditorMoveUndoSystem();

    // kMsgMoveRecord, kMsgUndoMove, kMsgRedoMove.
    void HandleMessage(Message* message) override;
    // Subscribes and hands its two key controls to the GuiSystem.
    void Activate() override;
    // Drops the subscriptions and removes the two controls.
    void Deactivate() override;

    // Pushes the record and empties the redo stack.
    void Record(const MoveRecord& record);
    // The newest undo record: its object goes back to the recorded position,
    // and the position it had goes on the redo stack. Nothing when empty.
    void Undo();
    // The same from the redo stack to the undo stack.
    void Redo();

    const std::deque<MoveRecord>& GetUndoStack() const { return undo_; }
    const std::deque<MoveRecord>& GetRedoStack() const { return redo_; }

private:
    // Puts the record's object at its position and returns the record of
    // where it was; a dead object or one without a Transform is left alone
    // and the record comes back unchanged.
    static MoveRecord Apply(const MoveRecord& record);
    // Pops the back of `from`, applies it and pushes the position it replaced
    // onto `to`.
    static void Step(std::deque<MoveRecord>& from, std::deque<MoveRecord>& to);

    std::deque<MoveRecord> undo_;  // newest at the back
    std::deque<MoveRecord> redo_;  // newest at the back
};
