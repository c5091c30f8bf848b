// What the editor tells the designer on its status lines: a short name for a
// scene object, what places an object anew at every load, and the notice an
// editor command sends about what it did or why it refused (shown by the
// EditorUISystem for a few seconds). Free functions; main thread only.
#pragma once
#include <string>

#include "core/Types.h"

// "Rock (GUID 1234)": the object's archetype name, else its model's file
// name, else its first component class other than Transform, then its id.
// "nothing" for 0; "a deleted object" for an id that names no live object.
std::string ObjectLabel(u32 objectId);
// What puts the object in a place of its own at every load, whatever place
// was saved: "its Player, at (0, -50, 0) from its parent" (the ship's circle
// radius) or "its SplineCrawler, on Track (GUID 9)" (a crawler bound to a
// live track). Empty when nothing does.
std::string LoadPlacement(u32 objectId);
// The line to the status lines, at once, from sender.
void PostEditorNotice(u32 sender, const std::string& text);
