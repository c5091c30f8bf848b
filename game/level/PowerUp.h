// A marker pick-up: answers kMsgPowerUpTouched (which nothing in the game
// sends) with kMsgPowerUpTaken. No members. Owned by its object; main thread
// only.
#pragma once
#include "engine/Component.h"

class PowerUp : public Component<PowerUp> {
public:
    // kMsgPowerUpTouched of any argument queues kMsgPowerUpTaken.
    void HandleMessage(Message* message) override;
};
