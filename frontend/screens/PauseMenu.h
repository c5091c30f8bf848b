// The in-game pause screen: the "paused" title, the buttons Resume,
// Restart, Controls, Options and Quit, the cursor that also serves as the
// aim reticle in play, and the Esc key that pauses and resumes the game.
// Unlike the other screens it is built once, by Init, and kept for the
// whole run; it is active from the start and shown while its paused flag
// is clear (pausing the game un-pauses it). Created at start-up, owned by
// the Engine; its objects belong to the Overlord, its controls to the
// GuiSystem. Main thread only.
#pragma once
#include "engine/ISystem.h"
#include "port/window/WindowEvent.h"

class GameObject;

class PauseMenu : public ISystem {
public:
    static constexpr u32 kEscapeKey = 0x1B;

    // Active and paused.
    PauseMenu();

    // kMsgClientRect: the window's client rectangle is kept.
    void HandleMessage(Message* message) override;
    // While not paused: the title, the five buttons and the cursor drawn.
    void Update(float dt) override;
    // Builds the screen and the Esc control once; group 3 disabled.
    void Init() override;
    // Files the subscriptions again.
    void Activate() override;
    // Subscriptions dropped; the screen is kept.
    void Deactivate() override;

    // The objects in drawing order: title, resume, options, controls,
    // restart, quit, cursor (ids; 0 before Init).
    std::vector<u32> GetDrawnObjects() const;
    u32 GetCursorId() const { return cursorId_; }
    const ClientRect& GetScreenRect() const { return screenRect_; }

private:
    u32 titleId_ = 0;
    u32 resumeId_ = 0;
    u32 optionsId_ = 0;
    u32 controlsId_ = 0;
    u32 restartId_ = 0;
    u32 quitId_ = 0;
    ClientRect screenRect_{};
    u32 cursorId_ = 0;
};
