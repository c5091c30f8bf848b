// B held, click on a track (or its marker): the selected spline crawler is
// bound to that track (its splineGameObjectID) and placed on it as every
// load places a bound carrier. Capturing, one frame a use;
// keeps the ids the Editor and the picking send; each use says on the
// status lines what it did or why it refused. Owned by the GuiSystem; main
// thread only.
#pragma once
#include <string>

#include "controls/Control.h"
#include "editor/select/EditorPickState.h"

class SplineBindControl : public Control {
public:
    SplineBindControl();

    void OnMessage(Message* message) override;
    void OnActivate() override;

    // The crawler of `crawlerObject` onto the track of `trackObject` (or of
    // the object a track marker stands for), placed where a load of the
    // saved scene would place it; false when either is missing.
    // The notice, when given, gets the status line saying which.
    static bool Bind(u32 crawlerObject, u32 trackObject, std::string* notice = nullptr);

private:
    EditorPickState pick_;
};
