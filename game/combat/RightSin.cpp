#include "game/combat/RightSin.h"

void RightSin::Move() {
    ShiftAndAdvance({PhaseCos(), 0.0f, 0.0f});
}
