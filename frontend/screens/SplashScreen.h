// The first screen of a game run: the studio logo in the middle of the
// window for a little over three seconds (timed by the frames' dt), then
// the start screen takes over. Activated by the start-up code unless the
// editor is asked for; no buttons, no cursor. Created at start-up, owned by
// the Engine. Main thread only.
#pragma once
#include <string>

#include "frontend/screens/MenuScreen.h"

class FinMenu;

class SplashScreen : public MenuScreen {
public:
    static constexpr const char* kLogoTexture = "Tarnbow_Logo";
    // Seconds the logo shows: the hand-over comes in the first update after
    // the timer has passed it.
    static constexpr float kShowSeconds = 3.0f;
    static constexpr const char* kDefaultStartLevel = "Tutorial";

    SplashScreen();

    // timer += dt; the logo drawn; past kShowSeconds the StartMenu is shown
    // and this screen hidden.
    void Update(float dt) override;
    // Subscribes to the client rectangle; timer := 0.
    void Init() override;

    // The first level of the results screen's level sequence ("Tutorial"
    // when there is no results screen or its sequence is empty).
    static std::string GetStartScene(const FinMenu* results);

    float GetTimer() const { return timer_; }

protected:
    // The logo, then the system pointer hidden.
    void Build() override;

private:
    float timer_ = 0.0f;
};
