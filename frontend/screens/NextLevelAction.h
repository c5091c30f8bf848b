// The results screen's Continue moves the level sequence on: executing it
// advances the FinMenu's next level index (AdvanceNextLevel), so only
// Continue, never Restart, skips to the following level. Owned by its
// Control. Main thread only.
#pragma once
#include "controls/ControlAction.h"

class NextLevelAction : public ControlAction {
public:
    // Nothing without a FinMenu.
    bool Execute() override;
    ControlAction* Clone() const override { return new NextLevelAction(*this); }
};
