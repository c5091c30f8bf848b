// The click control that loads a level: the start screen's Play (which it
// closes) and the results screen's Continue (from-results: it closes the
// results screen, lets the game run again with the glow on and the level
// time at 0). The music and looped sounds stop at the next drain; the scene
// file is looked for in the "scene" asset folder. Owned by the GuiSystem
// once handed over. Main thread only.
#pragma once
#include <string>

#include "frontend/controls/ClickControl.h"

class LoadSceneControl : public ClickControl {
public:
    // sceneFileName: name and extension, without folder ("Tutorial.scn").
    LoadSceneControl(std::string sceneFileName, bool fromResults);

    void OnActivate() override;

    // The scene file's path: the name composed with the "scene" folder.
    std::string ScenePath() const;
    const std::string& GetSceneFileName() const { return sceneFileName_; }
    bool IsFromResults() const { return fromResults_; }

private:
    std::string sceneFileName_;
    bool fromResults_;
};
