// What the front end's click controls and screens do to the engine's
// systems: look one up by class, show or hide it, flip the paused flags of
// the game's systems, switch GUI control groups, the renderer's glow and the
// level time. Every function skips a system the Engine does not have.
// Main thread only.
#pragma once
#include <string>

#include "core/TypeId.h"
#include "core/Types.h"
#include "engine/MessageKind.h"
#include "port/window/WindowEvent.h"

class ISystem;
class StagedScene;

namespace GameFlow {
// The system with that type id, or null (also without an Engine).
ISystem* Find(u32 typeId);
template <class T>
ISystem* Find() {
    return Find(TypeId<T>::Get());
}
// Active flag set, then Activate.
void Show(ISystem* system);
// Active flag cleared, then Deactivate.
void Hide(ISystem* system);
// SetPaused(not paused).
void FlipPaused(ISystem* system);
// Flips the paused flags of the game's systems in this order: the
// PauseMenu (when withPauseMenu), Physics, GameLogic, BehaviorSystem,
// GraphicsSystem, AudioSystem.
void FlipGamePause(bool withPauseMenu);
// True when a level is being played: the PauseMenu exists, the
// SceneManager has a scene loaded and GameLogic is active.
bool LevelRunning();
// kMsgToggleGroup, kMsgEnableGroup or kMsgDisableGroup for one group, to the
// GuiSystem at once.
void SwitchGroup(const Kind<u32>& kind, u32 group, u32 sender);
// The GraphicsSystem's glow flag.
void SetGlow(bool on);
void InvertGlow();
// Reads the level file at `path` into `staged` (SceneManager::ReadScene,
// which reports one that does not load, naming it); a log row names a file
// that does not. Read before anything is cleared, so that a missing or broken
// level leaves the player where the click came from.
bool ReadLevel(const std::string& path, StagedScene& staged);
// Physics' accumulated level time in seconds; 0 without Physics.
float LevelTime();
// The window's client rectangle as the GuiSystem last had it (the one its
// mouse positions are measured in); all zero without a GuiSystem.
ClientRect WindowRect();
}  // namespace GameFlow
