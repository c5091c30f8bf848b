#include "game/combat/BottomLeftSin.h"

void BottomLeftSin::Move() {
    ShiftAndAdvance({PhaseCos(), PhaseCos(), 0.0f});
}
