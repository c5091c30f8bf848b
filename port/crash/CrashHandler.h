// Crash reporting for the whole process. On SIGSEGV, SIGBUS, SIGFPE, SIGILL,
// SIGABRT or std::terminate, in any thread, the handler writes "Sparse.dmp",
// "Indirect.dmp" and "Verbose.dmp" (in that order) to the working directory,
// then shows "Writing crash report..." (caption "FATAL ERROR"), followed by
// the names of the dumps that could not be written, through the message-box
// function, which returns at once in an unattended run, and ends the process
// with the fatal signal (std::terminate: SIGABRT).
// The program entry installs it before anything else exists.
#pragma once

// Installs the signal handlers, the terminate handler and the calling
// thread's alternate signal stack. Idempotent.
void InstallCrashHandlers();

// Gives the calling thread its own alternate signal stack, so that a stack
// overflow there is still reported; freed when the thread ends. Every thread
// the program starts calls it first.
void InstallThreadCrashStack();
