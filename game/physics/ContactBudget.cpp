#include "game/physics/ContactBudget.h"

#include "engine/Logger.h"

bool ContactBudget::Take() {
    if (used_ < kPerStep) {
        ++used_;
        return true;
    }
    if (!reported_)
        Log("Physics: more than %u %s contacts in one step; the rest of each such step's are not reported (no row, no "
            "collision message), and later steps past the bound are not logged until the scene is cleared",
            kPerStep, pass_);
    reported_ = true;
    return false;
}
