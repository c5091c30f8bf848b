// The edit mode's own object controls: Delete, the camera speed keys, Home,
// Page Up and Page Down, and turning the camera with the right button. Added
// to the Editor's control table when it activates.
#pragma once
#include "core/Types.h"

class EditorControlTable;

// editorId: the sender of their messages; cameraSpeedStep: the factor of the
// numeric keypad + key (- sends its reciprocal).
void BuildModeControls(EditorControlTable& table, u32 editorId, float cameraSpeedStep);
