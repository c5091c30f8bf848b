#include "game/level/BroadcastTriggerCode.h"

#include "engine/MessageHub.h"

void BroadcastTriggerCode(u32 sender, i32 code) {
    Broadcast(kMsgTriggerCode, sender, code);
}
