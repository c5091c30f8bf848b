// Has an object drawn in this frame: sends at once to the GraphicsSystem (by
// its type id, sender the GuiSystem's type id) DrawUnblendedThisFrame when
// count is positive, else DrawThisFrame, of the argument, with a copy of the
// id. Owned by its Control.
#pragma once

#include "controls/ControlAction.h"
#include "core/Types.h"

class RenderAction : public ControlAction {
public:
    // argument 0 means TypeId<Model>.
    RenderAction(u32 id = 0, u32 argument = 0, u32 count = 0);
    bool Execute() override;
    ControlAction* Clone() const override { return new RenderAction(*this); }

    u32 id;
    u32 argument;
    u32 count;
};
