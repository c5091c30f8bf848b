// SIGINT and SIGTERM end the program like the window's quit request: the
// handler only records the request; the Engine's frame loop polls it and
// ends after the current frame. Installed once by the program entry, before
// SDL (which then leaves our handlers in place).
#pragma once

void InstallQuitSignalHandlers();
bool QuitSignalReceived();
// Tests only.
void ResetQuitSignalForTest();
