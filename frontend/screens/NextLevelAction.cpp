#include "frontend/screens/NextLevelAction.h"

#include "frontend/controls/GameFlow.h"
#include "frontend/screens/FinMenu.h"

bool NextLevelAction::Execute() {
    auto* results = static_cast<FinMenu*>(GameFlow::Find<FinMenu>());
    if (!results) return false;
    results->AdvanceNextLevel();
    return true;
}
