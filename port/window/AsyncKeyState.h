// The physical state of a key at the moment of the call (Windows
// virtual-key code): bit 15 of the result is set while it is held. Reads
// SDL's keyboard state and the window's own record of the events pumped, so
// it also follows keys the game never saw. Main thread only.
#pragma once

#include <cstdint>

int16_t GetAsyncKeyState(int vk);
