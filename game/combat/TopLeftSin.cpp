#include "game/combat/TopLeftSin.h"

void TopLeftSin::Move() {
    ShiftAndAdvance({-PhaseCos(), PhaseCos(), 0.0f});
}
