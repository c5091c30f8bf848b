#include "editor/systems/EditorMoveUndoSystem.h"

EditorMoveUndoSystem::EditorMoveUndoSystem() : ISystem(TypeId<EditorMoveUndoSystem>::Get()) {
    SetName("EditorMoveUndoSystem");
}
