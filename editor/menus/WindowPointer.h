// The pointer as the window has it, also over a tweak panel, whose moves
// never reach the program's input: where it is, and whether its latest moves
// went to a panel (the window's pointer is not where the input last saw it).
// Free functions; false without a window. Main thread only.
#pragma once

bool WindowPointer(int* x, int* y);
bool PointerOnPanel();
