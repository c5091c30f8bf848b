// The clipboard's keys: Ctrl+C copies the selection, Ctrl+V pastes a clone,
// Ctrl+T pastes its rotation and scale (served by the status-line system).
// Added to the Editor's control table when it activates.
#pragma once
#include "core/Types.h"

class EditorControlTable;

// editorId: the sender of their messages.
void BuildMenuControls(EditorControlTable& table, u32 editorId);
