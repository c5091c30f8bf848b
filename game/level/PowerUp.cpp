#include "game/level/PowerUp.h"

#include "engine/MessageHub.h"

void PowerUp::HandleMessage(Message* message) {
    if (message->type == kMsgPowerUpTouched.type) Post(kMsgPowerUpTaken, GetId());
}
