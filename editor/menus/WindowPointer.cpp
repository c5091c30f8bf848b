#include "editor/menus/WindowPointer.h"

#include "platform/InputSystem.h"
#include "port/window/PortWindow.h"

bool WindowPointer(int* x, int* y) {
    const PortWindow* window = PortWindow::Current();
    if (!window) return false;
    *x = window->MouseX();
    *y = window->MouseY();
    return true;
}

bool PointerOnPanel() {
    const InputSystem* input = InputSystem::Instance();
    int x = 0, y = 0;
    if (!input || !WindowPointer(&x, &y)) return false;
    return x != input->MouseX() || y != input->MouseY();
}
