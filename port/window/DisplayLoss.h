// What happens when the X server the window is shown on goes away (killed,
// crashed, a remote session dropped). Xlib's own handling ends the process
// with status 1 at once, without a word and with the log's last rows lost.
// Instead, the window's connection is marked lost and the program goes on:
// Xlib makes every later call on it return at once, and the window's pump
// reports the loss, so the frame loop ends and the program shuts down in
// order. A connection of which Xlib cannot go on (SDL's second one, one
// opened before the window existed) ends the process here, after the exit
// hook (the log writes its rows), with kExitStatus. A server that shuts
// down answers the last requests with errors (a window already gone) before
// it closes: a protocol error is therefore held until the next pump asks the
// server whether it is still there; only then is it fatal, as Xlib's own
// handling makes it (status 1). The GL driver may wait for ever on a server
// gone, before Xlib has seen it: a thread of the watched connection ends the
// process (hook first, kExitStatus) when the run has not ended within
// kGraceMilliseconds of the server closing the connection. The GL driver may
// also crash on a server gone while it sets up (it reads answers that never
// came): such a crash ends the process the same way (EndIfServerGone).
// Process-wide state; Install and Watch on the main thread, where Xlib calls
// the handlers.
#pragma once

class DisplayLoss {
public:
    // The process's exit status when the display went away.
    static constexpr int kExitStatus = 3;
    // How long the run may take to end in order once the server has gone.
    static constexpr int kGraceMilliseconds = 4000;

    // Installs the handlers (once; before SDL opens a connection). Writes on
    // a connection the server closed then fail instead of raising SIGPIPE.
    static void Install();
    // The run goes on when this SDL window's connection is lost (X11 only);
    // a thread watches the connection from then on.
    static void Watch(void* sdlWindow);
    // The name of the display lost (":71"), or null while none is.
    static const char* LostDisplay();
    // Whether one of the process's X connections has been closed by its
    // server, recorded as the loss of the display when it is (a start whose
    // render device failed because the server went away is a lost display,
    // not a missing driver). Main thread.
    static bool FoundServerGone();
    // A protocol error held since the last call: one round trip tells a
    // server going away (then a loss) from a fault of the program, which ends
    // the process as Xlib would (the exit hook first). Called by the pump.
    static void CheckHeldError(void* sdlWindow);
    // For the crash handler (SetCrashDiversion; context: the signal's
    // ucontext_t): a crash outside the program's own code that comes after
    // the server of one of the process's X connections closed it is the GL
    // driver failing on an answer it never got (a server gone while the
    // driver sets up). The process then ends at once with kExitStatus
    // instead of crash dumps, the exit hook first (bounded by the grace
    // time); otherwise this returns. Signal handler calls only, but the hook.
    static void EndIfServerGone(int signal, const void* context);
    // Run before the process ends at once, with why; null for none. Must not
    // wait for anything: it may run inside an Xlib call on the main thread.
    static void SetExitHook(void (*hook)(const char* why));
    // Tests only: forgets the loss and the watched connection.
    static void ResetForTest();
};
