// The options screen: four window sizes, full screen off and on, sound off
// and on, and a Back button that returns to whichever screen opened it (the
// start or the pause screen). Its buttons send their setting to the
// WindowsSystem, GraphicsSystem or AudioSystem, which keep it until the
// program ends: nothing is stored, and the buttons show no current choice.
// Built anew by each showing. Created at start-up, owned by the Engine.
// Main thread only.
#pragma once
#include "frontend/screens/MenuScreen.h"

class OptionsMenu : public MenuScreen {
public:
    OptionsMenu();

    // Subscribes to the client rectangle; groups 9, 8 and 7 disabled.
    void Init() override;

protected:
    void Build() override;
};
