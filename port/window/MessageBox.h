// The program's one message box. Interactive runs show an SDL box and wait
// for OK; unattended runs (no display, SDL's offscreen or dummy driver, or the
// CI environment variable set) write caption and text to stderr and to the
// log sink and return at once. Main thread, or any thread when unattended.
#pragma once

// Receives one line per message box for the program's log (set by the engine
// once its log exists; port code cannot reach the log itself).
using MessageBoxLogSink = void (*)(const char* line);
void SetMessageBoxLogSink(MessageBoxLogSink sink);

// caption may be null (shown as "Error", like a box without a title).
void ShowMessageBox(const char* text, const char* caption);
bool MessageBoxIsUnattended();
