#include "game/physics/IdList.h"

void IdList::Clear() {
    ids_.clear();
    ++clears_;
}
