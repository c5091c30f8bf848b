#include "frontend/controls/PauseToggleControl.h"

#include "engine/ISystem.h"
#include "engine/Logger.h"
#include "engine/MessageTypes.h"
#include "frontend/controls/GameFlow.h"

class PauseMenu;

PauseToggleControl::PauseToggleControl(u32 toggledGroup)
    : ClickControl("PauseToggleControl"), toggledGroup_(toggledGroup) {}

void PauseToggleControl::OnActivate() {
    if (!GameFlow::LevelRunning()) return;
    if (toggledGroup_ != 0) GameFlow::SwitchGroup(kMsgToggleGroup, toggledGroup_, GetId());
    GameFlow::FlipGamePause(true);
    GameFlow::InvertGlow();
    // The pause screen shows (its system un-paused) exactly while the game is paused.
    const ISystem* pause = GameFlow::Find<PauseMenu>();
    Log("%s", pause->IsPaused() ? "UNPAUSED" : "PAUSED");
}
