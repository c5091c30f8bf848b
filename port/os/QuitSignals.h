// SIGINT, SIGTERM and SIGHUP (the terminal closed) end the program like the
// window's quit request: the handler records the request and the Engine's
// frame loop, which polls it, ends after the current frame. A quit signal
// before the frame loop has started, a second one at any time, or a first
// one whose frame has not ended (the loop has not polled it) within
// kQuitGraceMilliseconds ends the process at once instead: a watcher thread
// runs the exit hook (the log writes its queued rows) and ends the process
// with status 128 + signal.
// Installed once by the program entry, before SDL (which then leaves our
// handlers in place); the state is process-wide.
#pragma once

// How long a first quit signal waits for the running frame to end.
constexpr int kQuitGraceMilliseconds = 1500;

void InstallQuitSignalHandlers();
bool QuitSignalReceived();
// From now on a first quit signal only asks the frame loop to end. The
// Engine calls it as its loop starts.
void MarkFrameLoopStarted();
// Run on the watcher thread before the process ends at once, with the
// signal's number and whether it is a frame that did not end in time (else
// the loop had not started, or it is a second signal); null for none. It
// must not wait for the main thread.
void SetQuitSignalExitHook(void (*hook)(int signal, bool frameStuck));
// Tests only: forgets the request and that the loop started.
void ResetQuitSignalForTest();
