// One input or window event of the port window, in the engine's terms:
// Windows virtual-key codes, client pixels (origin top-left, y down), MK_*
// style button flags. Produced by PortWindow::PollEvent, consumed by the
// WindowsSystem and the tweak panels during the pump. Plain value type.
#pragma once

#include <cstdint>

// A client rectangle (left, top, right, bottom), signed 32-bit like RECT.
struct ClientRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// The files of one drop on the window, owned by the port window: valid until
// the next PortWindow::PollEvent call (the event's handlers read it at once).
struct DropFiles {
    int32_t pointX = 0;  // the mouse position at the drop, client pixels
    int32_t pointY = 0;
    bool pointInClient = false;
    int fileCount = 0;
    const char* const* files = nullptr;  // fileCount UTF-8 paths
};

enum class WindowEventKind {
    KeyDown,       // vk (+ genericVk), repeat
    KeyUp,         // vk (+ genericVk)
    Char,          // character: 8 backspace, 9 tab, 13 return, 27 escape, or a code 32..255
    MouseMove,     // x, y, buttonFlags
    ButtonDown,    // button, x, y
    ButtonUp,      // button, x, y
    MouseWheel,    // wheel (+1 per notch away from the user)
    Resized,       // rect: the new client rectangle (0x0 while minimised)
    Activated,     // the window gained the keyboard focus
    Deactivated,   // the window lost it
    FilesDropped,  // drop
    Quit,          // close request, Alt+F4 or the program's quit request
};

// MK_* style flags of MouseMove.
constexpr uint32_t kMouseFlagLeft = 0x1;
constexpr uint32_t kMouseFlagRight = 0x2;
constexpr uint32_t kMouseFlagShift = 0x4;
constexpr uint32_t kMouseFlagControl = 0x8;
constexpr uint32_t kMouseFlagMiddle = 0x10;

struct WindowEvent {
    WindowEventKind kind = WindowEventKind::Quit;
    uint32_t vk = 0;         // key's own code; left/right form for Shift, Ctrl, Alt
    uint32_t genericVk = 0;  // 0x10/0x11/0x12 when this event changes the generic modifier's state
    bool repeat = false;     // KeyDown from auto-repeat
    bool altHeld = false;    // KeyDown: Alt was held
    // KeyDown, KeyUp, Char: a system key in Windows' terms (WM_SYSKEYDOWN,
    // WM_SYSKEYUP, WM_SYSCHAR): F10, or any key or character while Alt is held
    // and Ctrl is not (Ctrl+Alt is AltGr typing). Alt's own press and release count.
    bool systemKey = false;
    uint32_t character = 0;
    int32_t x = 0;
    int32_t y = 0;
    uint32_t buttonFlags = 0;
    uint32_t button = 0;  // 0 left, 1 right, 2 middle
    int32_t wheel = 0;
    ClientRect rect;
    const DropFiles* drop = nullptr;
    // Quit from the window's close button or Alt+F4: when it came, in
    // milliseconds of SDL's clock (never 0); 0 for every other quit.
    uint32_t closedAtMs = 0;
};
