// Payload of message (1, 18), sent to the AudioSystem by its type id: play
// the music stream of this name (file name in the "bgm" folder without
// extension) at this volume factor. A heap copy freed after delivery.
#pragma once
#include <string>

#include "core/TypeId.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"

class AudioSystem;

struct MusicEventData {
    std::string name;
    float volume = 1.0f;  // multiplied by the music volume
};

// A (1, 18) record to the AudioSystem, by its type id, with a copy of
// {name, volume}; the caller posts it (PostLater) or sends it.
inline Message MakePlayMusicMessage(u32 sender, const std::string& name, float volume) {
    return MakeMessage(&ResolveSystem, TypeId<AudioSystem>::Get(), sender, kMsgPlayMusic.type, kMsgPlayMusic.argument,
                       MusicEventData{name, volume});
}
