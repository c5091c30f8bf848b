#include "editor/mode/EditorKeyControls.h"

#include "controls/Control.h"
#include "controls/DoAlwaysTrigger.h"
#include "controls/E3BasisVecs.h"
#include "controls/KeyTrigger.h"
#include "controls/MessageAction.h"

namespace {
// The shared shape: the key pressed with the Ctrl state, one action, off again next update.
template <class T>
Control* MakePressControl(u32 key, const char* name, u32 category, bool ctrl, MessageAction<T>* action) {
    auto* control = new Control(name, category);
    control->SetGroup(0);
    control->AddActivateTrigger(new KeyTrigger(key, KeyTrigger::kModePressed, ctrl));
    control->AddDeactivateTrigger(new DoAlwaysTrigger());
    control->AddActivateAction(action);
    return control;
}
}  // namespace

Control* MakeKeyMessageControl(u32 key, const char* name, u32 category, const Kind<u32>& kind, bool ctrl, u32 payload,
                               u32 sender) {
    return MakePressControl(key, name, category, ctrl, new MessageAction<u32>(sender, kind, payload));
}

Control* MakeAxisKeyControl(u32 key, const char* name, u32 axis, u32 sender) {
    return MakePressControl(key, name, Control::kCategoryAlways, false,
                            new MessageAction<E3BasisVecs>(sender, kMsgAxisLock, static_cast<E3BasisVecs>(axis)));
}

Control* MakeKeyFloatControl(u32 key, const char* name, float factor, u32 sender) {
    return MakePressControl(key, name, Control::kCategoryNormal, false,
                            new MessageAction<float>(sender, kMsgCameraSpeed, factor));
}

Control* MakeKeyVectorControl(u32 key, const char* name, u32 argument, const D3DXVECTOR3& vector, u32 sender) {
    const Kind<D3DXVECTOR3> kind{kMsgTypeCommand, argument};
    return MakePressControl(key, name, Control::kCategoryNormal, false,
                            new MessageAction<D3DXVECTOR3>(sender, kind, vector));
}
