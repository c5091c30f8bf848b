// Insert: puts the editor's selection in front of the active camera, twice
// its model's size away (one unit without a model), as one undo record.
// Built by the Editor with its key; owned by the GuiSystem; main thread only.
#pragma once
#include "editor/move/ObjectManipulatorBase.h"

class MoveObjToCamera : public ObjectManipulatorBase {
public:
    MoveObjToCamera();
    void OnActivate() override;
};
