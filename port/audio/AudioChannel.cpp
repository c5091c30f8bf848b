#include "port/audio/AudioChannel.h"

#include "port/audio/AudioDevice.h"

void AudioChannel::Stop() const {
    if (AudioDevice* d = AudioDevice::Current()) d->ChannelStop(*this);
}

void AudioChannel::SetPaused(bool paused) const {
    if (AudioDevice* d = AudioDevice::Current()) d->ChannelSetPaused(*this, paused);
}

bool AudioChannel::GetPaused() const {
    const AudioDevice* d = AudioDevice::Current();
    return d && d->ChannelGetPaused(*this);
}

void AudioChannel::SetVolume(float volume) const {
    if (AudioDevice* d = AudioDevice::Current()) d->ChannelSetVolume(*this, volume);
}

float AudioChannel::GetVolume() const {
    const AudioDevice* d = AudioDevice::Current();
    return d ? d->ChannelGetVolume(*this) : 0.0f;
}

void AudioChannel::SetPriority(int priority) const {
    if (AudioDevice* d = AudioDevice::Current()) d->ChannelSetPriority(*this, priority);
}

void AudioChannel::SetLoop(bool loop) const {
    if (AudioDevice* d = AudioDevice::Current()) d->ChannelSetLoop(*this, loop);
}

void AudioChannel::Set3DAttributes(const AudioVector& position, const AudioVector& velocity) const {
    if (AudioDevice* d = AudioDevice::Current()) d->ChannelSet3DAttributes(*this, position, velocity);
}

bool AudioChannel::IsPlaying() const {
    const AudioDevice* d = AudioDevice::Current();
    return d && d->ChannelIsPlaying(*this);
}

AudioSound AudioChannel::GetCurrentSound() const {
    const AudioDevice* d = AudioDevice::Current();
    return d ? d->ChannelGetCurrentSound(*this) : AudioSound{};
}
