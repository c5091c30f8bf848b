// Files dropped on the window: switching acceptance on and off, and reading
// the drop record that comes with a FilesDropped event (its payload in the
// engine's kMsgFilesDropped message). Main thread only.
#pragma once

#include "port/window/WindowEvent.h"

#include <cstdint>

// window: the handle of the kMsgWindowCreated announcement (PortWindow::Handle()).
void DragAcceptFiles(uint64_t window, bool accept);
// index 0xFFFFFFFF: the number of files. Otherwise copies file index into
// buffer (at most bufferSize - 1 characters and a NUL) and returns the number
// of characters copied; with a null buffer returns the full length. 0 for a
// bad index or a null drop.
unsigned DragQueryFileA(const DropFiles* drop, unsigned index, char* buffer, unsigned bufferSize);
// The drop point (client pixels); true when it lies inside the client area.
bool DragQueryPoint(const DropFiles* drop, int32_t* x, int32_t* y);
