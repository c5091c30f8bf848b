// The program's run, in its fixed order: assemble the engine-wide services,
// initialise the Engine, route tweak-panel errors to the log, start the editor
// or the splash screen from the command line and run the frame loop, then
// tear the services down in reverse order. main() installs the crash and
// quit-signal handlers before calling it. Main thread only.
#pragma once

class Engine;

// Returns 0 when the frame loop has ended normally (window closed, quit
// control, SIGINT or SIGTERM), 1 when the start-up file in the working
// directory is missing or broken (reported, nothing else made), 2 when a
// scripted run fails (see ScriptedRun: a script that cannot be read, a bad
// frame time, a line that does not fit or a step that fails), 3 when the X
// server of the window went away (the loss logged, the program shut down in
// order, or at once where Xlib or the GL driver cannot go on; see
// DisplayLoss); every other abnormal end goes through the crash handler.
int RunProgram(const char* commandLine);

// Activates the start system ("-e": the Editor, otherwise the SplashScreen);
// when the Engine has no such system, clears the scene under its owner
// instead (the game's scene system then offers the scene files). Then runs
// the frame loop until it ends and the systems are deleted.
void StartFromCommandLine(const char* commandLine, Engine* engine);
