// The undo and redo history of editor moves. A child system of the Editor,
// made in its Init and deleted with it; it keeps no history yet. Main thread
// only.
#pragma once
#include "engine/ISystem.h"

class EditorMoveUndoSystem : public ISystem {
public:
    EditorMoveUndoSystem();
};
