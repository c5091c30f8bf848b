// The shape every button and key control of the front end shares: a
// Control of category 2 (always updated, never capturing) whose first
// deactivation trigger always holds, so it is active for one GuiSystem
// update per click (or key release) and its OnActivate runs once per click.
// The builder sets its group and adds its activation trigger and actions.
// Owned by the GuiSystem once handed over. Main thread only.
#pragma once
#include "controls/Control.h"

class ClickControl : public Control {
public:
    // name: the class name of the concrete control (a constant string).
    explicit ClickControl(const char* name);
};
