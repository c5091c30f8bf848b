// Parenting in the editor. Parenting mode (P held, click): the clicked object
// becomes a child of the selected one, staying where it is in the world.
// Unparenting mode (U): the selected object leaves its parent, staying where
// it is. An object is never made a child of itself, of its own descendant or
// of an object without a Transform, and one without a Transform is never
// made a child.
// Each use says on the status lines what it did or why it refused.
// Capturing, one frame a use; keeps the ids the Editor and the picking send.
// Owned by the GuiSystem; main thread only.
#pragma once
#include <string>

#include "controls/Control.h"
#include "editor/select/EditorPickState.h"

class ParentObjectControl : public Control {
public:
    // parenting: true for P + click, false for U.
    explicit ParentObjectControl(bool parenting);

    void OnMessage(Message* message) override;
    void OnActivate() override;

    // The child (a picked proxy stands for its object) under the parent,
    // keeping its world placement; false when refused or already so. The
    // notice, when given, gets the status line saying which.
    static bool MakeChild(u32 parentId, u32 childId, std::string* notice = nullptr);
    // The object out of its parent's children, keeping its world placement;
    // the notice as for MakeChild.
    static void Unparent(u32 objectId, std::string* notice = nullptr);

private:
    bool parenting_;
    EditorPickState pick_;
};
