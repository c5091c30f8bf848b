// The title screen: the title picture, the buttons Play, Controls, Options,
// Credits and Quit, its own cursor, and the menu music. Shown by the splash
// screen and by the back buttons of the options, controls and credits
// screens; Play loads the first level of the results screen's sequence.
// Built anew by each showing, taken down by each hiding. Created at
// start-up, owned by the Engine. Main thread only.
#pragma once
#include <string>

#include "frontend/screens/MenuScreen.h"

class StartMenu : public MenuScreen {
public:
    static constexpr const char* kMusic = "Menu_loop";
    static constexpr float kMusicVolume = 0.3f;

    StartMenu();

    // Files its subscriptions again, queues the menu music to the
    // AudioSystem (played at the next drain), builds the screen.
    void Activate() override;

    // The scene file Play of the current showing loads ("" before the first).
    const std::string& GetStartSceneFile() const { return startScene_; }

protected:
    void Build() override;

private:
    std::string music_ = kMusic;
    std::string startScene_;
};
