// Small value types of the audio port: 3-D vectors in the engine's left-handed
// coordinates (x right, y up, z forward) and the ids of loaded sounds and sound
// groups. Ids are handed out by the AudioDevice; 0 means none.
#pragma once
#include <cstdint>

struct AudioVector {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

struct AudioSound {
    std::uint32_t id = 0;
    explicit operator bool() const { return id != 0; }
    bool operator==(const AudioSound&) const = default;
};

struct AudioSoundGroup {
    std::uint32_t id = 0;
    explicit operator bool() const { return id != 0; }
    bool operator==(const AudioSoundGroup&) const = default;
};
