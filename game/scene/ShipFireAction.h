// The fire key's action: each time it runs it sends kMsgFire to the ship's
// object alone (which hands it to its weapons and child objects), with a ray
// from the ship's world position along its forward direction. Nothing when
// the ship or its Transform is gone. Owned by its Control. Main thread only.
#pragma once
#include "controls/ControlAction.h"
#include "core/Types.h"

class ShipFireAction : public ControlAction {
public:
    // sender: the sender id of the fire messages; shipObject: the ship's
    // object id (0: none, nothing is sent).
    ShipFireAction(u32 sender, u32 shipObject) : sender_(sender), shipObject_(shipObject) {}

    bool Execute() override;
    ControlAction* Clone() const override { return new ShipFireAction(*this); }

    u32 GetShipObject() const { return shipObject_; }

private:
    u32 sender_;
    u32 shipObject_;
};
