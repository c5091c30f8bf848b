// The click control that switches screens: it shows one screen system and
// hides another, then enables one GUI control group and disables another.
// The new screen is built before the old one is taken down; the old
// screen's controls go with the next message drain. The systems live for
// the whole run (the Engine owns them). Main thread only.
#pragma once
#include "frontend/controls/ClickControl.h"

class ISystem;

class MenuToggleControl : public ClickControl {
public:
    // A null system is skipped.
    MenuToggleControl(ISystem* toActivate, ISystem* toDeactivate, u32 groupOn, u32 groupOff);

    void OnActivate() override;

    ISystem* GetToActivate() const { return toActivate_; }
    ISystem* GetToDeactivate() const { return toDeactivate_; }

private:
    ISystem* toActivate_;
    ISystem* toDeactivate_;
    u32 groupOn_;
    u32 groupOff_;
};
