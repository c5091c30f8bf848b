// The X connection and window behind an SDL window, for the window code that
// talks to the X server itself (full screen, pointer, the display's loss).
// Header-only, X11 builds only; the pointers are SDL's, valid while the window lives.
#pragma once
#include <SDL.h>
#include <SDL_syswm.h>

#if defined(SDL_VIDEO_DRIVER_X11)
// False when the window is null or not an X11 one.
inline bool XWindowOf(SDL_Window* window, Display** display, Window* xwindow) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    *display = info.info.x11.display;
    *xwindow = info.info.x11.window;
    return true;
}
#endif
