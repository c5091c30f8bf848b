// SDL scancodes to the engine's key codes (Windows virtual-key codes) and
// back (the latter for tests that type keys). Pure functions.
#pragma once

#include <cstdint>

class KeyMapping {
public:
    // The virtual-key code of an SDL scancode, 0 when the key has none.
    static uint32_t VirtualKeyFromScancode(int scancode);
    // An SDL scancode producing the virtual-key code (left form for the generic
    // modifiers 0x10/0x11/0x12), 0 when none.
    static int ScancodeFromVirtualKey(uint32_t vk);
    // 0x10 for 0xA0/0xA1, 0x11 for 0xA2/0xA3, 0x12 for 0xA4/0xA5, else 0.
    static uint32_t GenericModifier(uint32_t vk);
};
