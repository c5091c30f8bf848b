// The engine system that owns the scene while the game is played: it files
// the gameplay components announced by loaded objects in one list per class
// and updates them on the world's clock (in each frame that Physics stepped
// the world, with the game time of that step; the HUD every frame with the
// frame's dt), tracks the scene's Player and PlayerPath, builds the player's
// keyboard and mouse controls when a scene has loaded, puts the level's own
// camera in front, ends a level on the level-complete code or the ship's game
// over, and offers the "Scenes" bar (one button per scene file) while no
// scene is loaded. Created at start-up, active from the start, owned by the
// Engine. Main thread only.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "engine/ComponentList.h"
#include "engine/SceneSystem.h"
#include "port/panels/TweakPanels.h"
#include "port/window/WindowEvent.h"

class Control;
class IComponent;
class MouseFireControl;
class Player;

class GameLogic : public SceneSystem {
public:
    // The trigger code that completes a level.
    static constexpr i32 kLevelCompleteCode = -1;
    static constexpr const char* kScenesBarName = "Scenes";

    // The lists, in the order a frame updates them (the Player comes between
    // Lifetime and HackComponent).
    enum ListIndex : u32 {
        kGameCameraList,
        kWeaponList,
        kWeaponSplineList,
        kProjectileList,
        kPatternManagerList,
        kHealthList,
        kLifetimeList,
        kHackList,
        kHudList,
        kListCount
    };

    // Name "GameLogic", active, not paused; subscribes to the announcements
    // of its eleven classes, the client rectangle, debug drawing and the
    // trigger codes.
    GameLogic();

    // Everything is ignored while paused.
    void HandleMessage(Message* message) override;
    // The frame: pause mirrored into the fire control and the ship, then,
    // when the world was stepped, the gameplay lists and the ship with the
    // stepped game time; the ship's player-object broadcast, then the HUD
    // with dt. Nothing else while paused.
    void Update(float dt) override;
    // Subscribes to the three ability messages and clears their flags.
    void Init() override;
    // Empties the lists; the player and path stay.
    void Clear() override;
    // Subscribes again, takes the scene over and reloads it.
    void Activate() override;
    // Controls and bars removed, the level's camera popped, subscriptions
    // withdrawn.
    void Deactivate() override;
    // Controls built, bars removed, the level's camera pushed: the first
    // camera of the scene's objects becomes the active camera.
    void OnSceneLoaded() override;
    // Player forgotten, controls removed, the level's camera popped, "Scenes"
    // bar (re)built.
    void OnSceneCleared() override;
    void OnObjectAdded(u32, bool) override {}

    // Loads the scene of the "Scenes" bar's entry `index`; an index outside
    // the current list loads nothing (one log row). Returns whether it loaded.
    bool LoadSceneFromList(size_t index);
    // The "Scenes" buttons' callback: clientData is the entry's index.
    static void OnLoadSceneFromList(void* clientData);

    u32 GetPlayerId() const { return playerId_; }
    u32 GetPathId() const { return pathId_; }
    bool IsShieldDisabled() const { return shieldDisabled_; }
    bool IsWeaponDisabled() const { return weaponDisabled_; }
    bool IsBoostDisabled() const { return boostDisabled_; }
    bool IsDebugDrawing() const { return debugDraw_; }
    const ClientRect& GetClientRect() const { return clientRect_; }
    const ComponentList& GetList(ListIndex index) const { return lists_[index]; }
    // Ids of the controls the last scene load built, in building order.
    const std::vector<u32>& GetPlayerControlIds() const { return controlIds_; }
    u32 GetLeftFireControlId() const { return leftFireControlId_; }
    u32 GetRightFireControlId() const { return rightFireControlId_; }
    // The scene names the "Scenes" bar shows (null bar: none shown).
    const std::vector<std::string>& GetSceneNames() const { return sceneNames_; }
    TwBar* GetScenesBar() const { return scenesBar_; }
    // The camera component pushed for the loaded level (0: none).
    u32 GetLevelCameraId() const { return levelCameraId_; }

private:
    // The Player component under the player id, or null.
    IComponent* FindPlayer() const;
    // That component as the ship's Player, or null.
    Player* FindShip() const;
    // The fire control under that id while the GuiSystem holds it, or null.
    MouseFireControl* FindFireControl(u32 controlId) const;
    // Every component of the list, Update(dt); with debug drawing on, the
    // first three lists draw their components, the projectiles their
    // objects' Transforms.
    void Walk(ListIndex index, float dt);
    // The game time the world was stepped since the last call: the new steps
    // of Physics (at most one a frame) times its step, 0 in a frame without
    // one; the frame's dt when the engine has no Physics.
    float TakeSteppedTime(float frameDt);
    // Level end: the ship's results to the results screen (a log row
    // without one), which is shown.
    void EndLevel(bool gameOver);

    void CreatePlayerControls();
    void RemovePlayerControls();
    // Hands the control to the GuiSystem and records its id.
    void HandOver(Control* control);
    void CreateScenesBar();
    void DeleteBars();
    void PushLevelCamera();
    void PopLevelCamera();
    void SetCursorHidden(bool hidden);

    std::array<ComponentList, kListCount> lists_;
    std::array<u32, kListCount> listTypeIds_{};
    u32 playerId_ = 0;  // Player component
    u32 pathId_ = 0;    // PlayerPath component
    ClientRect clientRect_;
    bool debugDraw_ = false;
    bool shieldDisabled_ = false;
    bool weaponDisabled_ = false;
    bool boostDisabled_ = false;
    bool cursorHidden_ = false;
    std::vector<u32> controlIds_;
    u32 leftFireControlId_ = 0;  // the GuiSystem owns the controls: ids, never pointers
    u32 rightFireControlId_ = 0;
    TwBar* scenesBar_ = nullptr;
    std::vector<std::string> sceneNames_;  // what the bar's buttons index
    u32 levelCameraId_ = 0;
    bool levelEnded_ = false;  // the end of the track has ended this level; cleared by each scene load
    u64 stepsSeen_ = 0;        // Physics' step count at the last frame
};
