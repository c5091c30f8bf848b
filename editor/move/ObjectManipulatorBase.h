// The shared part of the editor's object movers (keyboard steps, mouse drag,
// Insert): keeps the editor's manipulation settings and selection from
// kMsgEditorSettings, decides which object a move applies to and reports its
// world position to the undo history before a move; the move itself goes
// through an ObjectMover. Built by the Editor, owned by the GuiSystem; main
// thread only.
#pragma once
#include "controls/Control.h"
#include "port/math/D3DX.h"

class ObjectManipulatorBase : public Control {
public:
    ObjectManipulatorBase(const char* name, u32 category);

    // kMsgPickedObject, kMsgPickedProxy, kMsgEditorSettings, and
    // kMsgSelectObject / kMsgPickObject as they happen.
    void OnMessage(Message* message) override;

    // The object a move applies to (0: none): the selected proxy when it has
    // a marker model, else the selected object. With `record` set and a
    // Transform to move, the moved object and its world position go to the
    // undo history (kMsgMoveRecord, at once).
    u32 BroadcastMoveRecord(bool record);

    float GetRotateStep() const { return rotateStep_; }
    float GetMoveSpeed() const { return moveSpeed_; }
    bool IsRotateMode() const { return rotateMode_; }
    bool UsesWorldAxes() const { return worldAxes_; }
    bool IsAxisEnabled(u32 axis) const { return axis < 3 && axisEnabled_[axis]; }
    u32 GetSelectedObject() const { return selectedObject_; }

protected:
    float rotateStep_ = 0.1f;  // radians per step or pixel
    u32 selectedObject_ = 0;
    u32 pickedObject_ = 0;
    u32 selectedProxy_ = 0;
    u32 pickedProxy_ = 0;
    bool rotateMode_ = false;
    bool worldAxes_ = false;  // steps along the world axes, else the object's own
    float moveSpeed_ = 1.0f;  // world units per keyboard step
    bool axisEnabled_[3] = {false, false, false};
};
