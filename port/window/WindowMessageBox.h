// The interactive side of the program's message box (port/os ShowMessageBox
// decides whether a run is attended): a modal SDL box over the port window.
// InstallWindowMessageBox hands it to port/os; the WindowsSystem installs it
// for its lifetime. Main thread only.
#pragma once

// Makes PresentWindowMessageBox the interactive box of port/os
// ShowMessageBox (the program entry calls it first thing; the WindowsSystem
// does too). Idempotent.
void InstallWindowMessageBox();

// Shows caption and text and waits for OK, the text wrapped to the window (a
// box is as wide as its longest line). An empty caption shows "Error", as a
// box without caption does; when no box can be shown the text goes to stderr.
void PresentWindowMessageBox(const char* text, const char* caption);
