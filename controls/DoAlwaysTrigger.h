// Always holds. Owned by its Control.
#pragma once

#include "controls/ControlTrigger.h"

class DoAlwaysTrigger : public ControlTrigger {
public:
    bool IsTriggered() override { return true; }
    ControlTrigger* Clone() const override { return new DoAlwaysTrigger(*this); }
};
