// The window system the program's window lives on (an X server, the
// offscreen driver), asked directly where SDL's own records cannot be
// trusted. SDL records a full-screen request as carried out at once and
// reports the desktop's size; a window manager carries it out a little
// later, but an X server without one (a bare server, a kiosk, some remote
// desktops) ignores it and the window keeps its size. So the sizes the
// program draws and maps the mouse with are read here: the X window's own
// size on X11, SDL's sizes elsewhere. One for the process; tests put a
// stand-in in its place. Main thread only.
#pragma once

class DisplayServer {
public:
    virtual ~DisplayServer() = default;

    // Asks for full screen at the desktop's resolution, or windowed; the
    // window system may carry it out later or never.
    virtual void RequestFullScreen(void* sdlWindow, bool fullScreen);
    // The window's client size now, in the pixels of its mouse positions.
    virtual void ClientSize(void* sdlWindow, int* width, int* height);
    // The size of the window's drawable now, in framebuffer pixels.
    virtual void DrawableSize(void* sdlWindow, int* width, int* height);

    // The stand-in when one is set, else the real one.
    static DisplayServer& Current();
    // Puts a stand-in in place (null: the real one again); the caller keeps it.
    static void SetForTest(DisplayServer* standIn);
};
