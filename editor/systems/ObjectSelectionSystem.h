// The editor's mouse picking: finds the object under the mouse ray and tells
// the selection controls. A child system of the Editor, made in its Init and
// deleted with it; it picks nothing yet. Main thread only.
#pragma once
#include "engine/ISystem.h"

class ObjectSelectionSystem : public ISystem {
public:
    ObjectSelectionSystem();
};
