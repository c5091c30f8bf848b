// The payload of kMsgPlaySound: a request to the AudioSystem to play one
// sound effect, queued to it by its type id (PostToSystem) or broadcast to
// its subscription. Senders build it on the stack; the message carries a heap
// copy that its deleter frees after delivery.
#pragma once
#include <string>

#include "core/Types.h"
#include "port/math/D3DXVector.h"

struct SoundEventData {
    std::string name;      // file name in the "sfx" folder without extension
    D3DXVECTOR3 position;  // world position
    D3DXVECTOR3 velocity;  // world units per second (doppler)
    float volume = 1.0f;   // multiplied by the effects volume
    bool looped = false;   // false: once, on the shared effects channel
    // Looped only: id of the LoopedSound component whose channel plays the
    // sound. The AudioSystem looks it up when the request arrives and plays
    // nothing when that component is gone or has been stopped meanwhile.
    u32 loopedSoundId = 0;
};
