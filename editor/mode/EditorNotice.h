// What the editor tells the designer on its status lines: a short name for a
// scene object, and the notice an editor command sends about what it did or
// why it refused (shown by the EditorUISystem for a few seconds). Free
// functions; main thread only.
#pragma once
#include <string>

#include "core/Types.h"

// "Rock (GUID 1234)": the object's archetype name, else its model's file
// name, else its first component class other than Transform, then its id.
// "nothing" for 0; "a deleted object" for an id that names no live object.
std::string ObjectLabel(u32 objectId);
// The line to the status lines, at once, from sender.
void PostEditorNotice(u32 sender, const std::string& text);
