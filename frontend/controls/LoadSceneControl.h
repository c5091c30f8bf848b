// The click control that loads a level: the start screen's Play (which it
// closes) and the results screen's Continue (from-results: it closes the
// results screen, lets the game run again with the glow on). The level time
// starts at 0 with the load, as with every scene clear. The music and looped sounds stop at the next drain; the scene
// file is looked for in the "scene" asset folder. A level file that would
// not load changes nothing (it is reported, with a log row): the player
// stays on the screen, its level, if any, still loaded. Owned by the
// GuiSystem once handed over. Main thread only.
#pragma once
#include <initializer_list>
#include <string>
#include <vector>

#include "frontend/controls/ClickControl.h"

class LoadSceneControl : public ClickControl {
public:
    // sceneFileName: name and extension, without folder ("Tutorial.scn").
    // loadActions (owned) run, in order, once the level file is found to
    // load and before anything else is done; none runs for a file that
    // would not load.
    LoadSceneControl(std::string sceneFileName, bool fromResults,
                     std::initializer_list<ControlAction*> loadActions = {});
    ~LoadSceneControl() override;

    void OnActivate() override;

    // The scene file's path: the name composed with the "scene" folder.
    std::string ScenePath() const;
    const std::string& GetSceneFileName() const { return sceneFileName_; }
    bool IsFromResults() const { return fromResults_; }

private:
    std::string sceneFileName_;
    bool fromResults_;
    std::vector<ControlAction*> loadActions_;
};
