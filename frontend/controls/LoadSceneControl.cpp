#include "frontend/controls/LoadSceneControl.h"

#include "controls/ControlAction.h"
#include "engine/ISystem.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "frontend/controls/GameFlow.h"
#include "platform/AudioSystem.h"
#include "scene/DevozizuDave.h"
#include "scene/SceneManager.h"

class FinMenu;
class PauseMenu;
class StartMenu;

LoadSceneControl::LoadSceneControl(std::string sceneFileName, bool fromResults,
                                   std::initializer_list<ControlAction*> loadActions)
    : ClickControl("LoadSceneControl"),
      sceneFileName_(std::move(sceneFileName)),
      fromResults_(fromResults),
      loadActions_(loadActions) {}

LoadSceneControl::~LoadSceneControl() {
    for (ControlAction* action : loadActions_) delete action;
}

std::string LoadSceneControl::ScenePath() const {
    const DevozizuDave* folders = DevozizuDave::Instance();
    if (!folders) return sceneFileName_;
    // The name carries its extension already.
    FilePath folder = folders->scene;
    folder.extension.clear();
    return folder.GetFullPath(sceneFileName_);
}

void LoadSceneControl::OnActivate() {
    const std::string path = ScenePath();
    StagedScene staged;
    if (!GameFlow::ReadLevel(path, staged)) return;
    for (ControlAction* action : loadActions_) action->Execute();
    if (fromResults_) {
        const ISystem* pause = GameFlow::Find<PauseMenu>();
        ISystem* results = GameFlow::Find<FinMenu>();
        if (pause && pause->IsPaused() && results && results->IsActive()) GameFlow::Hide(results);
        GameFlow::FlipGamePause(true);
        GameFlow::SetGlow(true);
    }
    GameFlow::Hide(GameFlow::Find<StartMenu>());
    PostToSystem(kMsgStopAllSound, TypeId<AudioSystem>::Get(), GetId());
    if (SceneManager* scenes = SceneManager::Instance()) scenes->CommitScene(path, staged);
}
