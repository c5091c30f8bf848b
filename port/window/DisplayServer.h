// The window system the program's window lives on (an X server, the
// offscreen driver), asked directly where SDL's own records cannot be
// trusted. SDL records a full-screen request as carried out at once and
// reports the desktop's size; a window manager carries it out a little
// later, but an X server without one (a bare server, a kiosk, some remote
// desktops) would ignore it and the window keep its size. So the sizes the
// program draws and maps the mouse with are read here (the X window's own
// size on X11, SDL's sizes elsewhere), and a request the server cannot carry
// out is not made. One for the process; tests put a stand-in in its place.
// Main thread only.
#pragma once

class DisplayServer {
public:
    virtual ~DisplayServer() = default;

    // Asks for full screen at the desktop's resolution, or windowed; the
    // window system may carry it out later. A request for full screen that
    // it cannot carry out (CanFullScreen false) is not made: SDL's records
    // then stay windowed, so later size requests are carried out at once.
    // Returns whether the request was made.
    virtual bool RequestFullScreen(void* sdlWindow, bool fullScreen);
    // Whether a full-screen request can be carried out: on X11 only when a
    // window manager that keeps the full-screen state runs; elsewhere true.
    virtual bool CanFullScreen(void* sdlWindow);
    // Whether the window is full screen now as the window system has it (on
    // X11 the state its window manager gave it), not as it was asked.
    virtual bool IsFullScreen(void* sdlWindow);
    // The window's client size now, in the pixels of its mouse positions.
    virtual void ClientSize(void* sdlWindow, int* width, int* height);
    // Where the window's client area starts on the screen now (on X11 the X
    // window's place; SDL's record, which a window manager's late move can
    // leave behind, elsewhere).
    virtual void ClientPosition(void* sdlWindow, int* x, int* y);
    // The size of the window's drawable now, in framebuffer pixels.
    virtual void DrawableSize(void* sdlWindow, int* width, int* height);
    // Where the pointer is now, in client pixels of the window, read from
    // the window system; false when it cannot say (not X11, another screen).
    // A window that moves or resizes under a resting pointer gets no motion
    // event, so its last one no longer says where the pointer is.
    virtual bool PointerPosition(void* sdlWindow, int* x, int* y);
    // Puts the pointer at (x, y) client pixels of the window.
    virtual void WarpPointer(void* sdlWindow, int x, int y);
    // Raises the window and gives it the keyboard focus. A window manager
    // is asked; without one the focus is set directly, since whatever focus
    // an earlier window left (none, often) would keep every key away.
    virtual void TakeFocus(void* sdlWindow);

    // The stand-in when one is set, else the real one.
    static DisplayServer& Current();
    // Puts a stand-in in place (null: the real one again); the caller keeps it.
    static void SetForTest(DisplayServer* standIn);
};
