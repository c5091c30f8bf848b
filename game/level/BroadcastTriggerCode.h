// The trigger code of the level triggers: kMsgTriggerCode with the code, no
// target, delivered at once to every subscriber (spawners, the game logic,
// whose code -1 ends the level as complete). Main thread only.
#pragma once
#include "core/Types.h"

// sender: the trigger's owner object id.
void BroadcastTriggerCode(u32 sender, i32 code);
