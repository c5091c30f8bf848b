// The movers' controls: Insert, R (turn or move), the X, Y and Z axis locks,
// the mouse drag, O, Ctrl+B vertex snap and the six object keys (group 2, on
// after M). Added to the Editor's control table when it activates.
#pragma once
#include "core/Types.h"

class EditorControlTable;

// editorId: the sender of the key controls' messages.
void BuildMoveControls(EditorControlTable& table, u32 editorId);
