// Puts an object's Transform at the mouse: (mx - W/2, -(my - H/2), 0) with W
// and H the right and bottom of the GuiSystem's screen rectangle (pixels from
// the screen centre, y up), the screen-space cursor's placement, with its
// matrices rebuilt. Nothing
// without the object's Transform or a GuiSystem. Owned by its Control.
#pragma once

#include "controls/ControlAction.h"
#include "core/Types.h"

class SetPositionFromMouseAction : public ControlAction {
public:
    explicit SetPositionFromMouseAction(u32 objectId = 0) : objectId_(objectId) {}
    // Returns false (the result is not used).
    bool Execute() override;
    ControlAction* Clone() const override { return new SetPositionFromMouseAction(*this); }
    virtual void SetObjectId(u32 objectId) { objectId_ = objectId; }
    u32 GetObjectId() const { return objectId_; }

private:
    u32 objectId_;
};
