#include "frontend/controls/RestartControl.h"

#include "engine/ISystem.h"
#include "engine/Logger.h"
#include "engine/MessageTypes.h"
#include "frontend/controls/GameFlow.h"
#include "scene/SceneManager.h"

class FinMenu;
class GameLogic;
class PauseMenu;

RestartControl::RestartControl(u32 toggledGroup) : ClickControl("RestartControl"), toggledGroup_(toggledGroup) {}

void RestartControl::OnActivate() {
    if (!GameFlow::LevelRunning()) return;
    // A level file gone since the level loaded: the level goes on as it is.
    SceneManager& scenes = SceneManager::Get();
    const std::string path = scenes.GetName();
    StagedScene staged;
    if (!GameFlow::ReadLevel(path, staged)) return;
    if (toggledGroup_ != 0) GameFlow::SwitchGroup(kMsgToggleGroup, toggledGroup_, GetId());
    // A hidden pause screen means the click came from the results screen.
    ISystem* results = GameFlow::Find<FinMenu>();
    if (GameFlow::Find<PauseMenu>()->IsPaused() && results && results->IsActive()) GameFlow::Hide(results);
    GameFlow::FlipGamePause(true);
    GameFlow::SetGlow(true);
    const ISystem* logic = GameFlow::Find<GameLogic>();
    Log("%s", logic->IsPaused() ? "PAUSED" : "UNPAUSED");
    scenes.CommitScene(path, staged);
}
