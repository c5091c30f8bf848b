// B held, click on a track (or its marker): the selected spline crawler is
// bound to that track (its splineGameObjectID). Capturing, one frame a use;
// keeps the ids the Editor and the picking send. Owned by the GuiSystem; main
// thread only.
#pragma once
#include "controls/Control.h"
#include "editor/controls/EditorPickState.h"

class SplineBindControl : public Control {
public:
    SplineBindControl();

    void OnMessage(Message* message) override;
    void OnActivate() override;

    // The crawler of `crawlerObject` onto the track of `trackObject` (or of
    // the object a track marker stands for); false when either is missing.
    static bool Bind(u32 crawlerObject, u32 trackObject);

private:
    EditorPickState pick_;
};
