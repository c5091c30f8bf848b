#include "game/combat/LeftSin.h"

void LeftSin::Move() {
    ShiftAndAdvance({PhaseCos(), 0.0f, 0.0f});
}
