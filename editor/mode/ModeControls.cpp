#include "editor/mode/ModeControls.h"

#include "controls/Control.h"
#include "editor/mode/CameraScreenDragControl.h"
#include "editor/mode/EditorControlTable.h"
#include "editor/mode/EditorKeyControls.h"
#include "engine/MessageTypes.h"
#include "port/math/D3DX.h"

void BuildModeControls(EditorControlTable& table, u32 editorId, float cameraSpeedStep) {
    const u32 me = editorId;
    table.Add(4, [me] {
        return MakeKeyMessageControl(0x2E, "DeleteSelected", Control::kCategoryNormal, kMsgDeleteSelection, false, 0,
                                     me);
    });
    table.Add(6, [me, cameraSpeedStep] { return MakeKeyFloatControl(0x6B, "CamSpeedUp", cameraSpeedStep, me); });
    table.Add(7,
              [me, cameraSpeedStep] { return MakeKeyFloatControl(0x6D, "CamSpeedDown", 1.0f / cameraSpeedStep, me); });
    table.Add(17, [me] { return MakeKeyVectorControl(0x24, "CameraHome", kMsgCameraHome.argument, {0, 0, 0}, me); });
    table.Add(18, [me] {
        return MakeKeyVectorControl(0x21, "CameraOrthoControlUp", kMsgOrthoCameraStep.argument, {1, 1, 1}, me);
    });
    table.Add(19, [me] {
        return MakeKeyVectorControl(0x22, "CameraOrthoControlDown", kMsgOrthoCameraStep.argument, {-1, -1, -1}, me);
    });
    table.Add(24, [me] { return new CameraScreenDragControl(me); });  // right-button drag turns the camera
}
