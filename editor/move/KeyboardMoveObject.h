// Moves (or, in rotate mode, turns) the editor's selection one step along one
// axis per key press: a step at once, then while held one after kRepeatDelay +
// kRepeatInterval and one every kRepeatInterval, at most one a frame. Each step
// is one undo record; a selection without a Transform, and an axis its lock
// keeps off, are said on the status lines. Six, one per direction key (object key group); GuiSystem-owned, main thread.
#pragma once
#include "editor/move/ObjectManipulatorBase.h"

class KeyboardMoveObject : public ObjectManipulatorBase {
public:
    static constexpr float kRepeatDelay = 0.5f;     // seconds before repeating
    static constexpr float kRepeatInterval = 0.1f;  // seconds between repeats

    // direction: a unit axis vector; axis: its index (0 x, 1 y, 2 z), which
    // the axis locks must enable.
    KeyboardMoveObject(const D3DXVECTOR3& direction, u32 axis);

    void OnActivate() override;
    void UpdateActive(float dt) override;
    void OnDeactivate() override;

    // One step of the current target; false when there was nothing to move.
    bool Step();

private:
    D3DXVECTOR3 direction_;
    u32 axis_;
    float timer_ = 0.0f;       // seconds; negative during the first delay
    bool pressFrame_ = false;  // the frame of the press, which has stepped already
};
