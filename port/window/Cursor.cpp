#include "port/window/Cursor.h"

#include <SDL.h>

namespace {

int gCounter = 0;
const char kArrow = 0;
CursorImage gImage = &kArrow;

}  // namespace

CursorImage ArrowCursor() {
    return &kArrow;
}

bool IsCursorShown() {
    return gCounter >= 0 && gImage != nullptr;
}

void ApplyCursorState() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(IsCursorShown() ? SDL_ENABLE : SDL_DISABLE);
}

int ShowCursor(bool show) {
    gCounter += show ? 1 : -1;
    if (!gImage) gImage = &kArrow;  // the pointer image comes back with the next counter change
    ApplyCursorState();
    return gCounter;
}

CursorImage SetCursor(CursorImage image) {
    CursorImage previous = gImage;
    gImage = image;
    ApplyCursorState();
    return previous;
}

void ResetCursorForTest() {
    gCounter = 0;
    gImage = &kArrow;
    ApplyCursorState();
}
