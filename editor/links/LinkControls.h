// The linking controls: P-click parents, U unparents, B-click binds a
// crawler to a track, Ctrl+E lays a row of copies. Added to the Editor's
// control table when it activates.
#pragma once

class EditorControlTable;

void BuildLinkControls(EditorControlTable& table);
