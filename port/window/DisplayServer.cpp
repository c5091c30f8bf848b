#include "port/window/DisplayServer.h"

#include <SDL.h>
#include <SDL_syswm.h>

namespace {

DisplayServer gReal;
DisplayServer* gStandIn = nullptr;

// The X window's size, read from the server; false when the window is not
// an X11 one (or the server does not answer).
bool XWindowSize(SDL_Window* window, int* width, int* height) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(info.info.x11.display, info.info.x11.window, &attributes)) return false;
    *width = attributes.width;
    *height = attributes.height;
    return true;
#else
    (void)window;
    (void)width;
    (void)height;
    return false;
#endif
}

}  // namespace

void DisplayServer::RequestFullScreen(void* sdlWindow, bool fullScreen) {
    if (sdlWindow)
        SDL_SetWindowFullscreen(static_cast<SDL_Window*>(sdlWindow), fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
}

void DisplayServer::ClientSize(void* sdlWindow, int* width, int* height) {
    *width = *height = 0;
    SDL_Window* window = static_cast<SDL_Window*>(sdlWindow);
    if (window && !XWindowSize(window, width, height)) SDL_GetWindowSize(window, width, height);
}

void DisplayServer::DrawableSize(void* sdlWindow, int* width, int* height) {
    *width = *height = 0;
    SDL_Window* window = static_cast<SDL_Window*>(sdlWindow);
    if (window && !XWindowSize(window, width, height)) SDL_GL_GetDrawableSize(window, width, height);
}

DisplayServer& DisplayServer::Current() {
    return gStandIn ? *gStandIn : gReal;
}

void DisplayServer::SetForTest(DisplayServer* standIn) {
    gStandIn = standIn;
}
