// The click control that plays the current level again, from the pause
// screen or from the results screen (which it closes): the paused flags of
// the PauseMenu and the game's systems are flipped back, the glow is set and
// the scene is reloaded from its file (its clear starts the level time at 0).
// It also toggles a control group, but only when it acts: without a loaded
// level, or when the level's file would no longer load (reported, with a log
// row), it does nothing. Owned by the GuiSystem once handed over. Main
// thread only.
#pragma once
#include "frontend/controls/ClickControl.h"

class RestartControl : public ClickControl {
public:
    // toggledGroup: the GUI control group flipped when it restarts (0: none).
    explicit RestartControl(u32 toggledGroup = 0);

    // Logs "PAUSED" when it leaves the game paused, "UNPAUSED" when running.
    void OnActivate() override;

private:
    u32 toggledGroup_;
};
