#include "port/window/KeyMapping.h"

#include <SDL.h>

namespace {

struct Pair {
    SDL_Scancode scancode;
    uint32_t vk;
};

// Keys whose code is not a letter, digit or F-key run.
constexpr Pair kTable[] = {
    {SDL_SCANCODE_RETURN, 0x0D},     {SDL_SCANCODE_ESCAPE, 0x1B},      {SDL_SCANCODE_BACKSPACE, 0x08},
    {SDL_SCANCODE_TAB, 0x09},        {SDL_SCANCODE_SPACE, 0x20},       {SDL_SCANCODE_MINUS, 0xBD},
    {SDL_SCANCODE_EQUALS, 0xBB},     {SDL_SCANCODE_LEFTBRACKET, 0xDB}, {SDL_SCANCODE_RIGHTBRACKET, 0xDD},
    {SDL_SCANCODE_BACKSLASH, 0xDC},  {SDL_SCANCODE_NONUSHASH, 0xDC},   {SDL_SCANCODE_SEMICOLON, 0xBA},
    {SDL_SCANCODE_APOSTROPHE, 0xDE}, {SDL_SCANCODE_GRAVE, 0xC0},       {SDL_SCANCODE_COMMA, 0xBC},
    {SDL_SCANCODE_PERIOD, 0xBE},     {SDL_SCANCODE_SLASH, 0xBF},       {SDL_SCANCODE_NONUSBACKSLASH, 0xE2},
    {SDL_SCANCODE_CAPSLOCK, 0x14},   {SDL_SCANCODE_PRINTSCREEN, 0x2C}, {SDL_SCANCODE_SCROLLLOCK, 0x91},
    {SDL_SCANCODE_PAUSE, 0x13},      {SDL_SCANCODE_INSERT, 0x2D},      {SDL_SCANCODE_HOME, 0x24},
    {SDL_SCANCODE_PAGEUP, 0x21},     {SDL_SCANCODE_DELETE, 0x2E},      {SDL_SCANCODE_END, 0x23},
    {SDL_SCANCODE_PAGEDOWN, 0x22},   {SDL_SCANCODE_RIGHT, 0x27},       {SDL_SCANCODE_LEFT, 0x25},
    {SDL_SCANCODE_DOWN, 0x28},       {SDL_SCANCODE_UP, 0x26},          {SDL_SCANCODE_NUMLOCKCLEAR, 0x90},
    {SDL_SCANCODE_KP_DIVIDE, 0x6F},  {SDL_SCANCODE_KP_MULTIPLY, 0x6A}, {SDL_SCANCODE_KP_MINUS, 0x6D},
    {SDL_SCANCODE_KP_PLUS, 0x6B},    {SDL_SCANCODE_KP_ENTER, 0x0D},    {SDL_SCANCODE_KP_PERIOD, 0x6E},
    {SDL_SCANCODE_KP_0, 0x60},       {SDL_SCANCODE_APPLICATION, 0x5D}, {SDL_SCANCODE_LCTRL, 0xA2},
    {SDL_SCANCODE_LSHIFT, 0xA0},     {SDL_SCANCODE_LALT, 0xA4},        {SDL_SCANCODE_LGUI, 0x5B},
    {SDL_SCANCODE_RCTRL, 0xA3},      {SDL_SCANCODE_RSHIFT, 0xA1},      {SDL_SCANCODE_RALT, 0xA5},
    {SDL_SCANCODE_RGUI, 0x5C},
};

}  // namespace

uint32_t KeyMapping::VirtualKeyFromScancode(int scancode) {
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
        return 0x41 + static_cast<uint32_t>(scancode - SDL_SCANCODE_A);
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
        return 0x31 + static_cast<uint32_t>(scancode - SDL_SCANCODE_1);
    if (scancode == SDL_SCANCODE_0) return 0x30;
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12)
        return 0x70 + static_cast<uint32_t>(scancode - SDL_SCANCODE_F1);
    if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24)
        return 0x7C + static_cast<uint32_t>(scancode - SDL_SCANCODE_F13);
    if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9)
        return 0x61 + static_cast<uint32_t>(scancode - SDL_SCANCODE_KP_1);
    for (const Pair& p : kTable)
        if (p.scancode == scancode) return p.vk;
    return 0;
}

int KeyMapping::ScancodeFromVirtualKey(uint32_t vk) {
    switch (vk) {
        case 0x10:
            return SDL_SCANCODE_LSHIFT;
        case 0x11:
            return SDL_SCANCODE_LCTRL;
        case 0x12:
            return SDL_SCANCODE_LALT;
        default:
            break;
    }
    for (int scancode = 1; scancode < SDL_NUM_SCANCODES; ++scancode)
        if (VirtualKeyFromScancode(scancode) == vk) return scancode;
    return 0;
}

uint32_t KeyMapping::GenericModifier(uint32_t vk) {
    switch (vk) {
        case 0xA0:
        case 0xA1:
            return 0x10;
        case 0xA2:
        case 0xA3:
            return 0x11;
        case 0xA4:
        case 0xA5:
            return 0x12;
        default:
            return 0;
    }
}
