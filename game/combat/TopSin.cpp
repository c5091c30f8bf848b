#include "game/combat/TopSin.h"

void TopSin::Move() {
    ShiftAndAdvance({0.0f, PhaseCos(), 0.0f});
}
