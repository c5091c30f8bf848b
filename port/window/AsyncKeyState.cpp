#include "port/window/AsyncKeyState.h"

#include "port/window/KeyMapping.h"
#include "port/window/PortWindow.h"

#include <SDL.h>

namespace {

bool SdlHeld(int vk) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    auto held = [&](int scancode) { return scancode > 0 && scancode < count && state[scancode]; };
    switch (vk) {
        case 0x10:
            return held(SDL_SCANCODE_LSHIFT) || held(SDL_SCANCODE_RSHIFT);
        case 0x11:
            return held(SDL_SCANCODE_LCTRL) || held(SDL_SCANCODE_RCTRL);
        case 0x12:
            return held(SDL_SCANCODE_LALT) || held(SDL_SCANCODE_RALT);
        case 0x01:
            return (SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON_LMASK) != 0;
        case 0x02:
            return (SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON_RMASK) != 0;
        case 0x04:
            return (SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON_MMASK) != 0;
        default:
            return held(KeyMapping::ScancodeFromVirtualKey(static_cast<uint32_t>(vk)));
    }
}

}  // namespace

int16_t GetAsyncKeyState(int vk) {
    PortWindow* window = PortWindow::Current();
    bool down = (window && window->IsKeyHeld(static_cast<uint32_t>(vk))) || SdlHeld(vk);
    return down ? static_cast<int16_t>(0x8000) : 0;
}
