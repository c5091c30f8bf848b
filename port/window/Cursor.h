// The system mouse pointer over the window. ShowCursor keeps a display
// counter like the Windows one: true adds one, false takes one away, the
// pointer shows while the counter is >= 0 (it starts at 0). SetCursor(null)
// removes the pointer image until another image is set or the counter is
// changed. Main thread only; applied to SDL whenever video is running.
#pragma once

using CursorImage = const void*;

int ShowCursor(bool show);
// Returns the previous image.
CursorImage SetCursor(CursorImage image);
// The standard arrow image (the window's own pointer).
CursorImage ArrowCursor();
bool IsCursorShown();
// Applies the current state to SDL (the window calls it when video starts).
void ApplyCursorState();
// Tests only: counter 0, arrow image.
void ResetCursorForTest();
