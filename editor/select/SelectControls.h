// The selection's controls: Tab and Ctrl+Tab, the mouse ray every frame, the
// click that selects and Escape that deselects. Added to the Editor's control
// table when it activates.
#pragma once
#include "core/Types.h"

class EditorControlTable;

// editorId: the sender of the selection messages.
void BuildSelectControls(EditorControlTable& table, u32 editorId);
