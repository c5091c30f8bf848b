// Crash reporting for the whole process. On SIGSEGV, SIGBUS, SIGFPE, SIGILL,
// SIGABRT or std::terminate, in any thread, the handler writes "Sparse.dmp",
// "Indirect.dmp" and "Verbose.dmp" (in that order) to the working directory,
// then shows "Writing crash report..." (caption "FATAL ERROR"), followed by
// the names of the dumps that could not be written, through the message-box
// function, which returns at once in an unattended run, and ends the process
// with the fatal signal (std::terminate: SIGABRT). A diversion set beforehand
// may end a crash that is not the program's own fault otherwise.
// The program entry installs it before anything else exists.
#pragma once

// Installs the signal handlers, the terminate handler and the calling
// thread's alternate signal stack. Idempotent.
void InstallCrashHandlers();

// Gives the calling thread its own alternate signal stack, so that a stack
// overflow there is still reported; freed when the thread ends. Every thread
// the program starts calls it first.
void InstallThreadCrashStack();

// Called first on a crash signal (not on std::terminate), on the crashing
// thread inside its signal handler, so it may only do what a signal handler
// may; context is the signal's machine context (ucontext_t). It ends the
// process itself when the crash is not the program's own fault (a GL driver
// failing on a display server that went away: see
// DisplayLoss::EndIfServerGone); when it returns, the crash is reported as
// above. Null: none.
void SetCrashDiversion(void (*divert)(int signal, const void* context));
