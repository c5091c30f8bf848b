// Lets a mouse drag start only on the editor's selection: holds when the
// object under the mouse is the selected object (one with a model of its
// own), or when the marker under the mouse is the selected marker (objects
// shown by a marker proxy). Keeps the ids the Editor and the picking send.
// Owned by its Control; main thread only.
#pragma once
#include "controls/ControlTrigger.h"
#include "core/Types.h"

class EditorCanMoveObject : public ControlTrigger {
public:
    bool IsTriggered() override;
    ControlTrigger* Clone() const override { return new EditorCanMoveObject(*this); }
    // kMsgSelectedObject, kMsgPickedObject, kMsgPickedProxy, kMsgSelectedProxy.
    void HandleMessage(Message* message) override;
    // Subscribes the control to those four kinds.
    void Register(Control* control) override;

private:
    u32 selectedObject_ = 0;
    u32 pickedObject_ = 0;
    u32 pickedProxy_ = 0;
    u32 selectedProxy_ = 0;
};
