// Process entry: crash reporting and the quit signals come first, before any
// other object exists; then the program runs on its arguments joined into one
// command-line text.
#include <string>

#include "app/CommandLine.h"
#include "app/Entry.h"
#include "port/crash/CrashHandler.h"
#include "port/os/QuitSignals.h"

int main(int argc, char** argv) {
    InstallCrashHandlers();
    InstallQuitSignalHandlers();
    const std::string commandLine = JoinArguments(argc, argv);
    return RunProgram(commandLine.c_str());
}
