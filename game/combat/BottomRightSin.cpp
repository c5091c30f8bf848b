#include "game/combat/BottomRightSin.h"

void BottomRightSin::Move() {
    ShiftAndAdvance({-PhaseCos(), PhaseCos(), 0.0f});
}
