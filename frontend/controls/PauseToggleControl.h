// The click (or key) control that pauses and resumes the game: while a
// level is being played it flips the paused flags of the PauseMenu and the
// game's systems and inverts the renderer's glow, so pausing the game
// un-pauses the PauseMenu, which then draws the pause screen. It also
// toggles the pause screen's control group, but only when it really pauses
// or resumes: without a loaded level it does nothing at all.
// Owned by the GuiSystem once handed over. Main thread only.
#pragma once
#include "frontend/controls/ClickControl.h"

class PauseToggleControl : public ClickControl {
public:
    // toggledGroup: the GUI control group flipped with the pause (0: none).
    explicit PauseToggleControl(u32 toggledGroup = 0);

    // Logs "PAUSED" when it leaves the game paused, "UNPAUSED" when running.
    void OnActivate() override;

private:
    u32 toggledGroup_;
};
