#include "editor/move/MoveControls.h"

#include "controls/Control.h"
#include "controls/DoAlwaysTrigger.h"
#include "controls/KeyTrigger.h"
#include "editor/mode/EditorControlTable.h"
#include "editor/mode/EditorKeyControls.h"
#include "editor/move/KeyboardMoveObject.h"
#include "editor/move/MoveObjToCamera.h"
#include "editor/move/ObjectPositionControl.h"
#include "editor/move/VertexSnapControl.h"
#include "engine/MessageTypes.h"

void BuildMoveControls(EditorControlTable& table, u32 editorId) {
    const u32 me = editorId;
    table.Add(1, [] {
        auto* toCamera = new MoveObjToCamera();  // Insert
        toCamera->AddActivateTrigger(new KeyTrigger(0x2D, KeyTrigger::kModePressed, false));
        toCamera->AddDeactivateTrigger(new DoAlwaysTrigger());
        return toCamera;
    });
    table.Add(5, [me] {
        return MakeKeyMessageControl(0x52, "ToggleRotateTranslate", Control::kCategoryNormal, kMsgToggleRotateMode,
                                     false, 0, me);
    });
    table.Add(11, [me] { return MakeAxisKeyControl(0x58, "AxisLockX", 0, me); });
    table.Add(12, [me] { return MakeAxisKeyControl(0x59, "AxisLockY", 1, me); });
    table.Add(13, [me] { return MakeAxisKeyControl(0x5A, "AxisLockZ", 2, me); });
    table.Add(23, [] { return new ObjectPositionControl(); });  // drag the selection; its own triggers
    table.Add(25, [me] {
        return MakeKeyMessageControl(0x4F, "ToggleOrthoMoveMode", Control::kCategoryAlways, kMsgToggleOrthoMove, false,
                                     0, me);
    });
    table.Add(26, [] { return new VertexSnapControl(); });  // Ctrl+B held
    // Rows 27-32: A starts on held (or a press let go within the frame), the
    // others on a new press; each stops when its key is up.
    struct Mover {
        u32 key;
        u32 mode;
        D3DXVECTOR3 direction;
        u32 axis;
    };
    const Mover movers[] = {
        {0x41, KeyTrigger::kModeDownThisFrame, {-1, 0, 0}, 0}, {0x44, KeyTrigger::kModePressed, {1, 0, 0}, 0},
        {0x57, KeyTrigger::kModePressed, {0, 1, 0}, 1},        {0x53, KeyTrigger::kModePressed, {0, -1, 0}, 1},
        {0x51, KeyTrigger::kModePressed, {0, 0, 1}, 2},        {0x45, KeyTrigger::kModePressed, {0, 0, -1}, 2},
    };
    u32 row = 27;
    for (const Mover& mover : movers) {
        table.Add(row++, [mover] {
            auto* control = new KeyboardMoveObject(mover.direction, mover.axis);
            control->SetGroup(2);
            control->AddActivateTrigger(new KeyTrigger(mover.key, mover.mode, false));
            control->AddDeactivateTrigger(new KeyTrigger(mover.key, KeyTrigger::kModeUp, false));
            return control;
        });
    }
}
