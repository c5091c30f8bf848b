#include "game/combat/BottomSin.h"

void BottomSin::Move() {
    ShiftAndAdvance(PhaseCos() * up_);
}
