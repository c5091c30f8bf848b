#include "frontend/controls/GameFlow.h"

#include "controls/GuiSystem.h"
#include "engine/Engine.h"
#include "engine/Logger.h"
#include "engine/MessageHub.h"
#include "game/physics/Physics.h"
#include "platform/AudioSystem.h"
#include "render/IGraphics.h"
#include "scene/SceneManager.h"

// Systems looked up by type id alone.
class BehaviorSystem;
class GameLogic;
class PauseMenu;

namespace GameFlow {

ISystem* Find(u32 typeId) {
    Engine* engine = Engine::Instance();
    return engine ? engine->GetSystem(typeId) : nullptr;
}

void Show(ISystem* system) {
    if (!system) return;
    system->SetActive(true);
    system->Activate();
}

void Hide(ISystem* system) {
    if (!system) return;
    system->SetActive(false);
    system->Deactivate();
}

void FlipPaused(ISystem* system) {
    if (system) system->SetPaused(!system->IsPaused());
}

void FlipGamePause(bool withPauseMenu) {
    if (withPauseMenu) FlipPaused(Find<PauseMenu>());
    for (u32 typeId : {TypeId<Physics>::Get(), TypeId<GameLogic>::Get(), TypeId<BehaviorSystem>::Get(),
                       TypeId<GraphicsSystem>::Get(), TypeId<AudioSystem>::Get()})
        FlipPaused(Find(typeId));
}

bool LevelRunning() {
    const ISystem* logic = Find<GameLogic>();
    const SceneManager* scenes = SceneManager::Instance();
    return Find<PauseMenu>() && scenes && scenes->IsLoaded() && logic && logic->IsActive();
}

void SwitchGroup(const Kind<u32>& kind, u32 group, u32 sender) {
    SendToSystem(kind, TypeId<GuiSystem>::Get(), sender, group);
}

void SetGlow(bool on) {
    if (IGraphics* graphics = IGraphics::Of(Find<GraphicsSystem>())) graphics->SetGlow(on);
}

void InvertGlow() {
    if (IGraphics* graphics = IGraphics::Of(Find<GraphicsSystem>())) graphics->SetGlow(!graphics->IsGlowOn());
}

bool ReadLevel(const std::string& path, StagedScene& staged) {
    SceneManager* scenes = SceneManager::Instance();
    if (scenes && scenes->ReadScene(path, staged)) return true;
    Log("The level file %s does not load; the player stays on the screen of the click", path.c_str());
    return false;
}

float LevelTime() {
    const auto* physics = static_cast<Physics*>(Find<Physics>());
    return physics ? physics->GetTotalTime() : 0.0f;
}

ClientRect WindowRect() {
    const auto* gui = static_cast<GuiSystem*>(Find<GuiSystem>());
    return gui ? gui->GetScreenRect() : ClientRect{};
}

}  // namespace GameFlow
