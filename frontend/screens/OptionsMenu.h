// The options screen: four window sizes, full screen off and on, sound off
// and on, and a Back button that returns to whichever screen opened it (the
// start or the pause screen). Its buttons send their setting to the
// WindowsSystem, GraphicsSystem or AudioSystem, which keep it until the
// program ends: nothing is stored. The window's state is shown as the
// window system has it, not as it was asked: the size button of the client
// area's size and the full-screen button (on or off) of the window's state
// stay lit. Built anew by each showing. Created at start-up, owned by the
// Engine. Main thread only.
#pragma once
#include <string>
#include <vector>

#include "frontend/screens/MenuScreen.h"

class OptionsMenu : public MenuScreen {
public:
    OptionsMenu();

    // Subscribes to the client rectangle; groups 9, 8 and 7 disabled.
    void Init() override;
    // Draws the screen, then shows the window's state.
    void Update(float dt) override;

protected:
    void Build() override;

private:
    // A button lit while its setting is the window's now: its hover picture
    // then stays when the mouse is outside.
    struct StateButton {
        u32 highlightId;
        std::string normal;
        std::string hover;
        bool lit;
    };
    // Lights the buttons whose setting the window has now and puts the rest
    // out. Without a window (tools, tests) nothing is lit.
    void ShowWindowState();

    std::vector<StateButton> sizeButtons_;        // in the order of the sizes
    std::vector<StateButton> fullScreenButtons_;  // off, then on
};
