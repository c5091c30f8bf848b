// The payload of kMsgPlayMusic, sent to the AudioSystem by its type id: play
// the music stream of this name (file name in the "bgm" folder without
// extension) at this volume factor. A heap copy freed after delivery.
#pragma once
#include <string>

struct MusicEventData {
    std::string name;
    float volume = 1.0f;  // multiplied by the music volume
};
