#include "port/window/DisplayServer.h"

#include <SDL.h>
#include <SDL_syswm.h>
#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>
#endif

#include <vector>

#include "port/window/X11Window.h"

namespace {

DisplayServer gReal;
DisplayServer* gStandIn = nullptr;

#if defined(SDL_VIDEO_DRIVER_X11)
// The atoms of a property that holds a list of them (empty when it is missing).
std::vector<Atom> AtomList(Display* display, Window window, const char* property) {
    std::vector<Atom> atoms;
    const Atom name = XInternAtom(display, property, True);
    if (name == None) return atoms;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, name, 0, 1024, False, XA_ATOM, &type, &format, &count, &left, &data) ==
            Success &&
        data && type == XA_ATOM && format == 32) {
        const Atom* values = reinterpret_cast<const Atom*>(data);
        atoms.assign(values, values + count);
    }
    if (data) XFree(data);
    return atoms;
}

bool ListHolds(Display* display, const std::vector<Atom>& atoms, const char* name) {
    const Atom atom = XInternAtom(display, name, True);
    if (atom == None) return false;
    for (Atom a : atoms)
        if (a == atom) return true;
    return false;
}

// The window a property names, 0 when it is missing.
Window WindowProperty(Display* display, Window window, Atom name) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    Window result = 0;
    if (XGetWindowProperty(display, window, name, 0, 1, False, XA_WINDOW, &type, &format, &count, &left, &data) ==
            Success &&
        data && type == XA_WINDOW && format == 32 && count == 1)
        result = *reinterpret_cast<const Window*>(data);
    if (data) XFree(data);
    return result;
}

int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

// A window manager of today runs when the root names its check window and
// that window names itself (a manager that died leaves a stale name). The
// check window may be gone: its error is caught here, not fatal.
bool WindowManagerRuns(Display* display) {
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) return false;
    const Window named = WindowProperty(display, DefaultRootWindow(display), check);
    if (!named) return false;
    XSync(display, False);
    int (*previous)(Display*, XErrorEvent*) = XSetErrorHandler(&IgnoreXError);
    const Window self = WindowProperty(display, named, check);
    XSync(display, False);
    XSetErrorHandler(previous);
    return self == named;
}
#endif

// The X window's size, read from the server; false when the window is not
// an X11 one (or the server does not answer).
bool XWindowSize(SDL_Window* window, int* width, int* height) {
#if defined(SDL_VIDEO_DRIVER_X11)
    Display* display = nullptr;
    Window xwindow = 0;
    if (!XWindowOf(window, &display, &xwindow)) return false;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, xwindow, &attributes)) return false;
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

bool DisplayServer::RequestFullScreen(void* sdlWindow, bool fullScreen) {
    if (!sdlWindow || (fullScreen && !CanFullScreen(sdlWindow))) return false;
    SDL_SetWindowFullscreen(static_cast<SDL_Window*>(sdlWindow), fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    return true;
}

bool DisplayServer::CanFullScreen(void* sdlWindow) {
#if defined(SDL_VIDEO_DRIVER_X11)
    Display* display = nullptr;
    Window xwindow = 0;
    if (!XWindowOf(static_cast<SDL_Window*>(sdlWindow), &display, &xwindow)) return true;
    return WindowManagerRuns(display) &&
           ListHolds(display, AtomList(display, DefaultRootWindow(display), "_NET_SUPPORTED"),
                     "_NET_WM_STATE_FULLSCREEN");
#else
    (void)sdlWindow;
    return true;
#endif
}

bool DisplayServer::IsFullScreen(void* sdlWindow) {
    SDL_Window* window = static_cast<SDL_Window*>(sdlWindow);
    if (!window) return false;
#if defined(SDL_VIDEO_DRIVER_X11)
    Display* display = nullptr;
    Window xwindow = 0;
    if (XWindowOf(window, &display, &xwindow))
        return ListHolds(display, AtomList(display, xwindow, "_NET_WM_STATE"), "_NET_WM_STATE_FULLSCREEN");
#endif
    return (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
}

void DisplayServer::ClientSize(void* sdlWindow, int* width, int* height) {
    *width = *height = 0;
    SDL_Window* window = static_cast<SDL_Window*>(sdlWindow);
    if (window && !XWindowSize(window, width, height)) SDL_GetWindowSize(window, width, height);
}

void DisplayServer::ClientPosition(void* sdlWindow, int* x, int* y) {
    *x = *y = 0;
    SDL_Window* window = static_cast<SDL_Window*>(sdlWindow);
    if (!window) return;
#if defined(SDL_VIDEO_DRIVER_X11)
    Display* display = nullptr;
    Window xwindow = 0;
    Window child = 0;
    if (XWindowOf(window, &display, &xwindow) &&
        XTranslateCoordinates(display, xwindow, DefaultRootWindow(display), 0, 0, x, y, &child))
        return;
#endif
    SDL_GetWindowPosition(window, x, y);
}

void DisplayServer::DrawableSize(void* sdlWindow, int* width, int* height) {
    *width = *height = 0;
    SDL_Window* window = static_cast<SDL_Window*>(sdlWindow);
    if (window && !XWindowSize(window, width, height)) SDL_GL_GetDrawableSize(window, width, height);
}

bool DisplayServer::PointerPosition(void* sdlWindow, int* x, int* y) {
#if defined(SDL_VIDEO_DRIVER_X11)
    Display* display = nullptr;
    Window xwindow = 0;
    if (!XWindowOf(static_cast<SDL_Window*>(sdlWindow), &display, &xwindow)) return false;
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0;
    unsigned int mask = 0;
    return XQueryPointer(display, xwindow, &root, &child, &rootX, &rootY, x, y, &mask) == True;
#else
    (void)sdlWindow;
    (void)x;
    (void)y;
    return false;
#endif
}

void DisplayServer::WarpPointer(void* sdlWindow, int x, int y) {
    if (sdlWindow) SDL_WarpMouseInWindow(static_cast<SDL_Window*>(sdlWindow), x, y);
}

void DisplayServer::TakeFocus(void* sdlWindow) {
    SDL_Window* window = static_cast<SDL_Window*>(sdlWindow);
    if (!window) return;
    SDL_RaiseWindow(window);
#if defined(SDL_VIDEO_DRIVER_X11)
    Display* display = nullptr;
    Window xwindow = 0;
    if (XWindowOf(window, &display, &xwindow) && !WindowManagerRuns(display)) {
        SDL_SetWindowInputFocus(window);
        XSync(display, False);
    }
#endif
}

DisplayServer& DisplayServer::Current() {
    return gStandIn ? *gStandIn : gReal;
}

void DisplayServer::SetForTest(DisplayServer* standIn) {
    gStandIn = standIn;
}
