// Click to select: on a left-button release over a picked object the object
// becomes the editor's selection (kMsgSelectObject) and the picked proxy its
// pick (kMsgPickObject), each only when it differs from what the Editor holds
// now. It keeps the ids the picking and the Editor broadcast. Capturing
// (category 0), one frame per click. Owned by the GuiSystem; main thread only.
#pragma once
#include "controls/Control.h"

class UnitSelectControl : public Control {
public:
    // sender: the id the selection messages go out with (the Editor's).
    explicit UnitSelectControl(u32 sender);

    void OnMessage(Message* message) override;
    void UpdateActive(float dt) override;

private:
    u32 sender_;
    u32 selectedObject_ = 0;  // the Editor's, every frame
    u32 selectedProxy_ = 0;   // the Editor's pick, every frame
    u32 pickedObject_ = 0;    // under the mouse
    u32 pickedProxy_ = 0;
};
