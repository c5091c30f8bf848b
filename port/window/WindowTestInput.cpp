#include "port/window/WindowTestInput.h"

#include "port/window/KeyMapping.h"
#include "port/window/PortWindow.h"

#include <SDL.h>

#include <cstring>

namespace {

uint32_t WindowId() {
    PortWindow* window = PortWindow::Current();
    return window ? window->SdlWindowId() : 0;
}

Uint16 gMods = 0;
Uint32 gButtons = 0;

Uint16 ModFor(int scancode) {
    switch (scancode) {
        case SDL_SCANCODE_LSHIFT:
            return KMOD_LSHIFT;
        case SDL_SCANCODE_RSHIFT:
            return KMOD_RSHIFT;
        case SDL_SCANCODE_LCTRL:
            return KMOD_LCTRL;
        case SDL_SCANCODE_RCTRL:
            return KMOD_RCTRL;
        case SDL_SCANCODE_LALT:
            return KMOD_LALT;
        case SDL_SCANCODE_RALT:
            return KMOD_RALT;
        default:
            return 0;
    }
}

SDL_Event NewEvent(Uint32 type) {
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = type;
    return e;
}

void PushWindowEvent(Uint8 kind, int32_t data1 = 0, int32_t data2 = 0) {
    SDL_Event e = NewEvent(SDL_WINDOWEVENT);
    e.window.windowID = WindowId();
    e.window.event = kind;
    e.window.data1 = data1;
    e.window.data2 = data2;
    SDL_PushEvent(&e);
}

}  // namespace

void TestPushKey(uint32_t vk, bool down, bool repeat) {
    int scancode = KeyMapping::ScancodeFromVirtualKey(vk);
    if (scancode == 0) return;
    if (down)
        gMods = static_cast<Uint16>(gMods | ModFor(scancode));
    else
        gMods = static_cast<Uint16>(gMods & ~ModFor(scancode));
    SDL_Event e = NewEvent(down ? SDL_KEYDOWN : SDL_KEYUP);
    e.key.windowID = WindowId();
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = repeat ? 1 : 0;
    e.key.keysym.scancode = static_cast<SDL_Scancode>(scancode);
    e.key.keysym.sym = SDL_GetKeyFromScancode(static_cast<SDL_Scancode>(scancode));
    e.key.keysym.mod = gMods;
    SDL_PushEvent(&e);
}

void TestPushText(const char* utf8) {
    SDL_Event e = NewEvent(SDL_TEXTINPUT);
    e.text.windowID = WindowId();
    std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
    SDL_PushEvent(&e);
}

void TestPushMouseMove(int32_t x, int32_t y) {
    SDL_Event e = NewEvent(SDL_MOUSEMOTION);
    e.motion.windowID = WindowId();
    e.motion.state = gButtons;
    e.motion.x = x;
    e.motion.y = y;
    SDL_PushEvent(&e);
}

void TestPushMouseButton(uint32_t button, bool down, int32_t x, int32_t y) {
    Uint8 sdlButton = button == 0 ? SDL_BUTTON_LEFT : button == 1 ? SDL_BUTTON_RIGHT : SDL_BUTTON_MIDDLE;
    if (down)
        gButtons |= SDL_BUTTON(sdlButton);
    else
        gButtons &= ~SDL_BUTTON(sdlButton);
    SDL_Event e = NewEvent(down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP);
    e.button.windowID = WindowId();
    e.button.button = sdlButton;
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = 1;
    e.button.x = x;
    e.button.y = y;
    SDL_PushEvent(&e);
}

void TestPushMouseWheel(int32_t notches) {
    SDL_Event e = NewEvent(SDL_MOUSEWHEEL);
    e.wheel.windowID = WindowId();
    e.wheel.y = notches;
    e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    SDL_PushEvent(&e);
}

void TestPushFocus(bool gained) {
    PushWindowEvent(gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST);
}

void TestPushMinimised() {
    PushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
}

void TestPushRestored() {
    PushWindowEvent(SDL_WINDOWEVENT_RESTORED);
}

void TestPushClose() {
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
}

void TestPushQuit() {
    SDL_Event e = NewEvent(SDL_QUIT);
    SDL_PushEvent(&e);
}

bool TestPushDrop(const std::vector<std::string>& files, std::string* error) {
    // The whole drop or none of it: a push the queue refuses leaves the copy
    // of its name with us, and a drop cut short would never complete.
    size_t queued = 0;
    bool whole = true;
    SDL_Event e = NewEvent(SDL_DROPBEGIN);
    e.drop.windowID = WindowId();
    whole = SDL_PushEvent(&e) == 1;
    for (size_t i = 0; whole && i < files.size(); ++i) {
        e = NewEvent(SDL_DROPFILE);
        e.drop.windowID = WindowId();
        e.drop.file = SDL_strdup(files[i].c_str());  // freed by the window, as SDL's own
        whole = SDL_PushEvent(&e) == 1;
        if (whole)
            ++queued;
        else
            SDL_free(e.drop.file);
    }
    if (whole) {
        e = NewEvent(SDL_DROPCOMPLETE);
        e.drop.windowID = WindowId();
        whole = SDL_PushEvent(&e) == 1;
    }
    if (whole) return true;
    // Take the drop's events back out of the queue, with their names.
    SDL_Event taken[256];
    for (int n; (n = SDL_PeepEvents(taken, 256, SDL_GETEVENT, SDL_DROPFILE, SDL_DROPCOMPLETE)) > 0;)
        for (int k = 0; k < n; ++k)
            if (taken[k].type == SDL_DROPFILE || taken[k].type == SDL_DROPTEXT) SDL_free(taken[k].drop.file);
    if (error)
        *error = "the window's event queue took " + std::to_string(queued) + " of the " + std::to_string(files.size()) +
                 " files dropped (" + SDL_GetError() + "); nothing was dropped";
    return false;
}

namespace {

SDL_GLContext gTestContext = nullptr;

// The few GL entry points the helpers use, by address.
constexpr unsigned kColorBufferBit = 0x4000;
constexpr unsigned kRgba = 0x1908;
constexpr unsigned kUnsignedByte = 0x1401;
using ClearColorFn = void (*)(float, float, float, float);
using ClearFn = void (*)(unsigned);
using ViewportFn = void (*)(int, int, int, int);
using ReadPixelsFn = void (*)(int, int, int, int, unsigned, unsigned, void*);
using FinishFn = void (*)();

}  // namespace

bool TestMakeGLContext() {
    PortWindow* window = PortWindow::Current();
    if (!window) return false;
    if (!gTestContext) gTestContext = SDL_GL_CreateContext(static_cast<SDL_Window*>(window->NativeWindow()));
    if (!gTestContext) return false;
    return SDL_GL_MakeCurrent(static_cast<SDL_Window*>(window->NativeWindow()), gTestContext) == 0;
}

void TestDestroyGLContext() {
    if (!gTestContext) return;
    SDL_GL_MakeCurrent(nullptr, nullptr);
    SDL_GL_DeleteContext(gTestContext);
    gTestContext = nullptr;
}

void TestClearFrame(float r, float g, float b) {
    PortWindow* window = PortWindow::Current();
    if (!window || !gTestContext) return;
    ClientRect rect = window->GetClientRect();
    auto viewport = reinterpret_cast<ViewportFn>(SDL_GL_GetProcAddress("glViewport"));
    auto clearColor = reinterpret_cast<ClearColorFn>(SDL_GL_GetProcAddress("glClearColor"));
    auto clear = reinterpret_cast<ClearFn>(SDL_GL_GetProcAddress("glClear"));
    viewport(0, 0, rect.right, rect.bottom);
    clearColor(r, g, b, 1.0f);
    clear(kColorBufferBit);
}

bool TestReadPixel(int x, int y, unsigned char rgba[4]) {
    PortWindow* window = PortWindow::Current();
    if (!window || !gTestContext) return false;
    ClientRect rect = window->GetClientRect();
    auto finish = reinterpret_cast<FinishFn>(SDL_GL_GetProcAddress("glFinish"));
    auto readPixels = reinterpret_cast<ReadPixelsFn>(SDL_GL_GetProcAddress("glReadPixels"));
    finish();
    readPixels(x, rect.bottom - 1 - y, 1, 1, kRgba, kUnsignedByte, rgba);
    return true;
}
