// The credits screen: the credits picture and a Back button to the start
// screen (group 7). Built anew by each showing. Created at start-up, owned
// by the Engine. Main thread only.
#pragma once
#include "frontend/screens/MenuScreen.h"

class CreditsMenu : public MenuScreen {
public:
    CreditsMenu();

    // Subscribes to the client rectangle; groups 8 and 7 disabled.
    void Init() override;

protected:
    void Build() override;
};
