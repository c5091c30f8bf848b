// The sound library of the engine: output device, loaded sounds (effects
// decoded into memory, music streamed from disk), sound groups with an audible
// limit, the channels sounds play on, and the one 3-D listener. Coordinates
// are the engine's (left-handed, +z forward); distances and velocities in
// world units. Owned by the AudioSystem for the whole run; the most recently
// made device is the one AudioChannel handles talk to (Current). Main thread
// only: the mixer runs on the library's own thread, music is decoded ahead
// on the device's StreamDecoder thread (no mixer call is made there).
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "port/audio/AudioChannel.h"
#include "port/audio/AudioTypes.h"

class AudioDevice {
public:
    enum class Output {
        Default,   // the system's output device (deviceName may choose another)
        Loopback,  // nothing is played; RenderLoopback mixes into memory (tests)
    };
    // Sample rate of the loopback mix (stereo float).
    static constexpr int kLoopbackRate = 22050;

    AudioDevice();
    ~AudioDevice();
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    static AudioDevice* Current();

    // Opens the output with room for maxChannels channels. False when no device
    // can be opened: the device then stays silent (every call is harmless and
    // plays nothing) and ErrorText says why.
    bool Init(int maxChannels, Output output = Output::Default, const std::string& deviceName = {});
    bool IsSilent() const;
    const std::string& ErrorText() const;

    // Doppler strength, world units per metre (the 3-D sounds' full-volume
    // distance; the speed of sound scales with it) and distance roll-off.
    void Set3DSettings(float dopplerScale, float distanceFactor, float rolloffScale);

    // A group with an audible limit keeps only its `count` most important
    // playing channels (priority, then the older) audible; the others fade to
    // silence over the group's mute fade time and are then stopped.
    AudioSoundGroup CreateSoundGroup(const std::string& name);
    void SetMaxAudible(AudioSoundGroup group, int count);
    void SetMuteFadeSpeed(AudioSoundGroup group, float seconds);
    // Stops every channel playing a sound of the group.
    void StopGroup(AudioSoundGroup group);

    // A sound decoded into memory holds at most a minute of samples and at
    // most 64 MiB of them (a very high sample rate); longer files are refused.
    static constexpr int kMaxDecodedSeconds = 60;
    static constexpr std::size_t kMaxDecodedBytes = std::size_t(64) << 20;
    // The most frames a decoded sound of that rate and channel count may have.
    static std::int64_t MaxDecodedFrames(int sampleRate, int channels);

    // A 2-D sound read from disk while it plays (music). Null when the file
    // cannot be read or the device is silent; *why (optional) then names the
    // file and the reason (left alone for a silent device).
    AudioSound CreateStream(const std::string& path, bool loop, std::string* why = nullptr);
    // A sound decoded into memory; positional sounds are mixed down to mono
    // and placed in 3-D. Null, with *why as for CreateStream, when the file
    // cannot be read, runs longer than MaxDecodedFrames, or the device is silent.
    AudioSound CreateSound(const std::string& path, bool loop, bool positional, std::string* why = nullptr);
    void SetSoundGroup(AudioSound sound, AudioSoundGroup group);
    // Stops the channels playing the sound and frees it.
    void ReleaseSound(AudioSound sound);

    // Starts a sound, paused or not, at priority 128 and volume 1. With a live
    // `reuse` handle the sound replaces whatever played there and the same
    // handle is returned; otherwise a free channel is taken (or the least
    // important one when none is free). A null handle when nothing could play.
    AudioChannel PlaySound(AudioSound sound, bool paused, AudioChannel reuse = {});

    // Null arguments leave that attribute as it is. Values that are not finite
    // are not passed to the mixer (a velocity becomes zero, the rest are kept).
    void Set3DListenerAttributes(const AudioVector* position, const AudioVector* velocity, const AudioVector* forward,
                                 const AudioVector* up);
    void Get3DListenerAttributes(AudioVector* position, AudioVector* velocity) const;

    // The longest frame a playing music stream flows on through: it keeps
    // that much queued in the mixer, with a margin, once each frame.
    static constexpr double kLongestMusicFrameSeconds = 4.5;
    // Once a frame: queues the music decoded since, some 5 s of it (a real
    // output never waits for the decoder; the loopback mix waits for all it
    // may decode ahead, so it is the same on every run), starts again a
    // stream that ran dry during a longer frame, frees finished channels,
    // runs the groups' fades.
    void Update();
    // Stops everything and closes the device; also done by the destructor.
    void Release();

    int ChannelsPlaying() const;
    // Loopback output only: mixes the next `frames` stereo frames into out
    // (2 * frames floats). Fills silence for any other output.
    void RenderLoopback(float* out, int frames);

private:
    friend class AudioChannel;
    // The operations behind AudioChannel; a stale handle is ignored.
    void ChannelStop(AudioChannel channel);
    void ChannelSetPaused(AudioChannel channel, bool paused);
    bool ChannelGetPaused(AudioChannel channel) const;
    void ChannelSetVolume(AudioChannel channel, float volume);
    float ChannelGetVolume(AudioChannel channel) const;
    void ChannelSetPriority(AudioChannel channel, int priority);
    void ChannelSetLoop(AudioChannel channel, bool loop);
    void ChannelSet3DAttributes(AudioChannel channel, const AudioVector& position, const AudioVector& velocity);
    bool ChannelIsPlaying(AudioChannel channel) const;
    AudioSound ChannelGetCurrentSound(AudioChannel channel) const;

    struct Impl;
    std::unique_ptr<Impl> impl_;
};
