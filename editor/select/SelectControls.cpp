#include "editor/select/SelectControls.h"

#include "controls/Control.h"
#include "controls/DoAlwaysTrigger.h"
#include "controls/KeyTrigger.h"
#include "controls/MessageAction.h"
#include "controls/MouseTrigger.h"
#include "editor/mode/EditorControlTable.h"
#include "editor/mode/EditorKeyControls.h"
#include "editor/select/MouseOverControl.h"
#include "editor/select/UnitSelectControl.h"
#include "engine/MessageTypes.h"

void BuildSelectControls(EditorControlTable& table, u32 editorId) {
    const u32 me = editorId;
    const u32 normal = Control::kCategoryNormal;
    table.Add(2,
              [me] { return MakeKeyMessageControl(0x09, "SelectNext", normal, kMsgSelectNextPrevious, false, 1, me); });
    table.Add(3,
              [me] { return MakeKeyMessageControl(0x09, "SelectPrev", normal, kMsgSelectNextPrevious, true, 0, me); });
    // The mouse ray every frame, switched on once for good.
    table.Add(20, [] {
        auto* mouseOver = new MouseOverControl();
        mouseOver->SetState(true);
        return mouseOver;
    });
    // A click (left button released) selects what is picked.
    table.Add(21, [me] {
        auto* unitSelect = new UnitSelectControl(me);
        unitSelect->AddActivateTrigger(new MouseTrigger(0, MouseTrigger::kModeReleased));
        unitSelect->AddDeactivateTrigger(new DoAlwaysTrigger());
        return unitSelect;
    });
    // Escape down deselects (also a press let go within the frame); off again
    // at the next update, so a held key deselects every second frame.
    table.Add(22, [me] {
        auto* deselect = new Control("unitDeselectControl", normal);
        deselect->SetGroup(0);
        deselect->AddActivateTrigger(new KeyTrigger(0x1B, KeyTrigger::kModeDownThisFrame, false));
        deselect->AddDeactivateTrigger(new DoAlwaysTrigger());
        deselect->AddActivateAction(new MessageAction<u32>(me, kMsgSelectObject, 0));
        deselect->AddActivateAction(new MessageAction<u32>(me, kMsgPickObject, 0));
        return deselect;
    });
}
