// The program's one message-box function. An attended run shows the box
// through the presenter the window layer installs (a modal SDL box); an
// unattended run (no display, SDL's offscreen or dummy driver, or CI set) or
// a run without presenter writes caption and text to stderr and to the log
// sink and returns at once, so nothing blocks a run nobody watches.
#pragma once

using MessageBoxPresenter = void (*)(const char* text, const char* caption);

// caption may be empty (a box without caption). Any thread.
void ShowMessageBox(const char* text, const char* caption);

// Writes caption and text where an unattended box goes (stderr and the log
// sink), never showing a box: for what a run driven by a script must leave on
// record. Any thread.
void RecordMessage(const char* text, const char* caption);

// True when no one can answer a box: CI set, SDL_VIDEODRIVER offscreen or
// dummy, or neither DISPLAY nor WAYLAND_DISPLAY set.
bool IsUnattendedRun();

// The window layer installs its interactive box; null removes it.
void SetMessageBoxPresenter(MessageBoxPresenter presenter);
// The log installs where unattended boxes are recorded; null removes it
// (the crash handler does, since the log's lock may be held by the crash).
void SetMessageBoxLogSink(MessageBoxPresenter sink);
