// The controls screen: the how-to-play picture and a Back button that
// returns to whichever screen opened it, the start screen (group 7) or the
// pause screen (group 8); two control pairs share the one button and only
// the pair whose group is enabled responds. Built anew by each showing.
// Created at start-up, owned by the Engine. Main thread only.
#pragma once
#include "frontend/screens/MenuScreen.h"

class ControlsMenu : public MenuScreen {
public:
    ControlsMenu();

    // Subscribes to the client rectangle; groups 8 and 7 disabled.
    void Init() override;

protected:
    void Build() override;
};
