#include "game/combat/TopRightSin.h"

void TopRightSin::Move() {
    ShiftAndAdvance({PhaseCos(), PhaseCos(), 0.0f});
}
