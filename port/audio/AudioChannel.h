// Handle of one playing sound on the AudioDevice: a slot number and the
// generation it was given when the sound started. Once that sound ends or is
// stopped (or the device is gone) the handle goes stale and every call on it
// does nothing and reports "not playing", so holders may keep it as long as
// they like. Copied freely; main thread only.
#pragma once
#include <cstdint>

#include "port/audio/AudioTypes.h"

class AudioChannel {
public:
    AudioChannel() = default;
    AudioChannel(std::uint32_t slot, std::uint32_t generation) : slot_(slot), generation_(generation) {}

    // True for a handle that was ever given out (it may be stale since).
    explicit operator bool() const { return generation_ != 0; }
    bool operator==(const AudioChannel&) const = default;
    std::uint32_t Slot() const { return slot_; }
    std::uint32_t Generation() const { return generation_; }

    void Stop() const;
    void SetPaused(bool paused) const;
    bool GetPaused() const;
    // 0..1 (clamped); the channel's own level before its group's fade.
    void SetVolume(float volume) const;
    float GetVolume() const;
    // 0 most important .. 256 least; decides which stream of a group with an
    // audible limit is heard and which channel is taken when none is free.
    void SetPriority(int priority) const;
    void SetLoop(bool loop) const;
    // Position and velocity (units per second); ignored by 2-D sounds.
    void Set3DAttributes(const AudioVector& position, const AudioVector& velocity) const;
    bool IsPlaying() const;
    AudioSound GetCurrentSound() const;

private:
    std::uint32_t slot_ = 0;
    std::uint32_t generation_ = 0;
};
