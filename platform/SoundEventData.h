// Payload of message (1, 17): a request to the AudioSystem to play one sound
// effect. Senders build it on the stack; the message carries a heap copy that
// its deleter frees after delivery.
#pragma once
#include <string>
#include <type_traits>

#include "core/TypeId.h"
#include "core/Types.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "port/math/D3DXVector.h"

class AudioSystem;

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

// Queues (1, 17) with a copy of data to the AudioSystem, by its type id; it
// plays at the next message drain.
inline void PostSoundEvent(u32 sender, const SoundEventData& data) {
    PostToSystem(TypeId<AudioSystem>::Get(), sender, kMsgPlaySound.type, kMsgPlaySound.argument, data);
}

// The same under the name of the send family: PostToSystem<SoundEventData>(sender, data).
template <class T>
requires std::is_same_v<T, SoundEventData>
void PostToSystem(u32 sender, const T& data) {
    PostSoundEvent(sender, data);
}
