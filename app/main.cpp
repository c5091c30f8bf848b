// Process entry: crash reporting and the quit signals come first, before any
// other object exists (a crash of the GL driver on an X server gone ends as
// the display's loss, not as the program's fault), then the interactive
// message box (start-up failures are shown before the window exists); then
// the program runs on its arguments joined into one command-line text.
#include <string>

#include "app/CommandLine.h"
#include "app/Entry.h"
#include "port/crash/CrashHandler.h"
#include "port/os/QuitSignals.h"
#include "port/window/DisplayLoss.h"
#include "port/window/WindowMessageBox.h"

int main(int argc, char** argv) {
    InstallCrashHandlers();
    SetCrashDiversion(&DisplayLoss::EndIfServerGone);
    InstallQuitSignalHandlers();
    InstallWindowMessageBox();
    const std::string commandLine = JoinArguments(argc, argv);
    return RunProgram(commandLine.c_str());
}
