#include "port/audio/AudioDevice.h"

#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <vector>

#include "port/audio/SoundFile.h"
#include "port/audio/StreamDecoder.h"

namespace {

constexpr std::size_t kStreamChunkFrames = StreamDecoder::kChunkFrames;
// Music a stream has queued in the mixer beyond the chunk playing, once the
// frame has handed it over: the longest frame it rides out without running
// dry (a slow machine's level runs at a few frames a second), and a margin
// for the output's own latency and a late frame. The decoder keeps as much
// again ready, so that one frame refills the whole queue.
constexpr double kStreamQueueSeconds = AudioDevice::kLongestMusicFrameSeconds + 0.5;
// Bounds the buffers of a file that claims a huge sample rate.
constexpr std::size_t kMaxStreamBuffers = 64;
// A buffer's first samples take fresh memory in the mixer (page faults): a
// starting track fills at most this many a frame, so its first frames cost
// what they did with a shorter queue; after a slow frame, as many as twice
// that frame holds (so at a few frames a second a track flows from its
// second frame on).
constexpr std::size_t kFirstFillsPerUpdate = 4;
constexpr int kDefaultPriority = 128;
constexpr int kLeastPriority = 256;
// Full volume up to the distance factor, inverse roll-off beyond, no further
// attenuation past this distance.
constexpr float kMaxDistance = 10000.0f;
constexpr float kSpeedOfSoundPerUnit = 340.0f;

AudioDevice* g_current = nullptr;
// Process-wide so that a handle of one device never matches a slot of a later one.
std::uint32_t g_lastGeneration = 0;

// Mixer buffers of one stream at that rate (the chunk playing, and the queue).
std::size_t StreamBuffers(int sampleRate) {
    const double chunks = std::ceil(kStreamQueueSeconds * sampleRate / static_cast<double>(kStreamChunkFrames));
    return static_cast<std::size_t>(std::clamp(chunks, 1.0, static_cast<double>(kMaxStreamBuffers - 1))) + 1;
}

bool Finite(const AudioVector& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// The mixer is right-handed (-z forward): mirror z.
void ToMixer(const AudioVector& v, ALfloat out[3]) {
    out[0] = v.x;
    out[1] = v.y;
    out[2] = -v.z;
}

struct SoundData {
    bool live = false;
    bool stream = false;
    bool positional = false;
    bool loop = false;
    std::string path;
    ALuint buffer = 0;  // decoded sounds
    int channels = 0;   // streams: 1 or 2 as played
    int sampleRate = 0;
    std::uint32_t group = 0;
};

// A playing stream: its decoder stream and the mixer buffers it cycles
// through (queued on the source, or idle waiting for the next chunk).
struct StreamState {
    StreamDecoder::StreamId id = 0;
    std::vector<ALuint> buffers;
    std::vector<ALuint> idle;
    std::size_t unfilled = 0;  // buffers never given samples: the first ones of idle
    ALenum format = AL_FORMAT_STEREO16;
    int outChannels = 2;
    int sampleRate = 0;  // the file's
    bool eof = false;    // the last chunk is queued
    StreamDecoder::Chunk chunk;
};

struct ChannelData {
    std::uint32_t generation = 0;  // 0: free slot
    ALuint source = 0;
    std::uint32_t sound = 0;
    int priority = kDefaultPriority;
    float volume = 1.0f;
    float groupGain = 1.0f;
    bool groupMuted = false;  // pushed out by its group's audible limit: fades, then stops
    bool heard = false;       // has been unpaused while audible
    bool paused = false;
    bool loop = false;
    bool positional = false;
    std::uint64_t order = 0;
    std::unique_ptr<StreamState> stream;
};

struct GroupData {
    bool live = false;
    std::string name;
    int maxAudible = -1;  // -1: no limit
    float fadeSeconds = 0.0f;
};

}  // namespace

struct AudioDevice::Impl {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    bool loopback = false;
    std::string error = "not initialised";
    std::vector<ChannelData> channels;
    std::vector<std::uint32_t> freeSlots;  // 1-based slot numbers
    std::vector<ALuint> sourcePool;
    std::vector<SoundData> sounds;  // id - 1
    std::vector<GroupData> groups;  // id - 1
    std::uint64_t playOrder = 0;
    float distanceFactor = 1.0f;
    float rolloff = 1.0f;
    AudioVector listenerPosition;
    AudioVector listenerVelocity;
    std::uint64_t loopbackFrames = 0;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    double lastUpdate = 0.0;
    double lastFrameSeconds = 0.0;  // between the last two Updates
    // The loopback mix is made on demand, so it waits until the decoder has
    // all it may decode ahead (what a real output finds after a frame that
    // left the decoder time) and is the same on every run; a real output
    // never waits (a stream whose next chunk is late plays on what it has queued).
    StreamDecoder decoder;

    bool Silent() const { return context == nullptr; }

    double Now() const {
        if (loopback) return static_cast<double>(loopbackFrames) / kLoopbackRate;
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

    ChannelData* Lookup(AudioChannel h) {
        if (h.Generation() == 0 || h.Slot() == 0 || h.Slot() > channels.size()) return nullptr;
        ChannelData& c = channels[h.Slot() - 1];
        return c.generation == h.Generation() ? &c : nullptr;
    }
    const ChannelData* Lookup(AudioChannel h) const { return const_cast<Impl*>(this)->Lookup(h); }

    SoundData* Sound(std::uint32_t id) {
        if (id == 0 || id > sounds.size() || !sounds[id - 1].live) return nullptr;
        return &sounds[id - 1];
    }
    GroupData* Group(std::uint32_t id) {
        if (id == 0 || id > groups.size() || !groups[id - 1].live) return nullptr;
        return &groups[id - 1];
    }

    ALint State(const ChannelData& c) const {
        ALint state = AL_STOPPED;
        if (c.source) alGetSourcei(c.source, AL_SOURCE_STATE, &state);
        return state;
    }

    // Ended by itself: a decoded sound that ran out, or a stream whose file
    // is done and whose queued audio has been played.
    bool Finished(const ChannelData& c) const {
        if (State(c) != AL_STOPPED) return false;
        if (!c.stream) return true;
        ALint queued = 0, processed = 0;
        alGetSourcei(c.source, AL_BUFFERS_QUEUED, &queued);
        alGetSourcei(c.source, AL_BUFFERS_PROCESSED, &processed);
        return c.stream->eof && queued == processed;
    }

    void ApplyGain(const ChannelData& c) {
        if (c.source) alSourcef(c.source, AL_GAIN, c.volume * c.groupGain);
    }

    // Stops the voice and drops its stream; the slot and source stay with the channel.
    void StopVoice(ChannelData& c) {
        if (!c.source) return;
        alSourceStop(c.source);
        alSourcei(c.source, AL_BUFFER, 0);
        if (c.stream) {
            decoder.Stop(c.stream->id);
            alDeleteBuffers(static_cast<ALsizei>(c.stream->buffers.size()), c.stream->buffers.data());
            c.stream.reset();
        }
    }

    void FreeChannel(ChannelData& c) {
        StopVoice(c);
        if (c.source) sourcePool.push_back(c.source);
        c.source = 0;
        c.generation = 0;
        c.sound = 0;
        freeSlots.push_back(static_cast<std::uint32_t>(&c - channels.data()) + 1);
    }

    // The least important live channel (largest priority number, then the
    // oldest) that is not more important than `priority`.
    ChannelData* StealCandidate(int priority) {
        ChannelData* best = nullptr;
        for (ChannelData& c : channels) {
            if (c.generation == 0 || c.priority < priority) continue;
            if (!best || c.priority > best->priority || (c.priority == best->priority && c.order < best->order))
                best = &c;
        }
        return best;
    }

    ChannelData* AllocateSlot() {
        if (freeSlots.empty()) {
            ChannelData* victim = StealCandidate(kDefaultPriority);
            if (!victim) return nullptr;
            FreeChannel(*victim);
        }
        const std::uint32_t slot = freeSlots.back();
        freeSlots.pop_back();
        ChannelData& c = channels[slot - 1];
        c.generation = ++g_lastGeneration;
        if (c.generation == 0) c.generation = ++g_lastGeneration;
        return &c;
    }

    bool AcquireSource(ChannelData& c) {
        if (c.source) return true;
        if (!sourcePool.empty()) {
            c.source = sourcePool.back();
            sourcePool.pop_back();
            return true;
        }
        alGetError();
        ALuint s = 0;
        alGenSources(1, &s);
        if (alGetError() == AL_NO_ERROR) {
            c.source = s;
            return true;
        }
        // The mixer has no more voices: take one from a less important channel.
        ChannelData* victim = nullptr;
        for (ChannelData& other : channels) {
            if (&other == &c || other.generation == 0 || !other.source || other.priority < c.priority) continue;
            if (!victim || other.priority > victim->priority ||
                (other.priority == victim->priority && other.order < victim->order))
                victim = &other;
        }
        if (!victim) return false;
        FreeChannel(*victim);
        c.source = sourcePool.back();
        sourcePool.pop_back();
        return true;
    }

    void ConfigureSource(const ChannelData& c) {
        const ALuint s = c.source;
        const ALfloat zero[3] = {0.0f, 0.0f, 0.0f};
        alSourceRewind(s);  // back to the initial state, so that it can start again
        // A voice that looped an effect would loop a stream's queue for ever.
        alSourcei(s, AL_LOOPING, AL_FALSE);
        alSourcefv(s, AL_POSITION, zero);
        alSourcefv(s, AL_VELOCITY, zero);
        alSourcef(s, AL_PITCH, 1.0f);
        if (c.positional) {
            alSourcei(s, AL_SOURCE_RELATIVE, AL_FALSE);
            alSourcei(s, AL_DIRECT_CHANNELS_SOFT, AL_FALSE);
            alSourcef(s, AL_REFERENCE_DISTANCE, distanceFactor);
            alSourcef(s, AL_MAX_DISTANCE, std::max(kMaxDistance, distanceFactor));
            alSourcef(s, AL_ROLLOFF_FACTOR, rolloff);
        } else {
            // Heard as recorded: at the listener, channels straight to the speakers.
            alSourcei(s, AL_SOURCE_RELATIVE, AL_TRUE);
            alSourcei(s, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
            alSourcef(s, AL_ROLLOFF_FACTOR, 0.0f);
        }
    }

    // Queues decoded chunks into the idle buffers, as far as the decoder has
    // them (in the loopback mix, once it has decoded all it may ahead).
    void QueueDecoded(ChannelData& c) {
        StreamState& st = *c.stream;
        if (loopback && !st.idle.empty() && !st.eof) decoder.WaitAhead(st.id);
        const double frameChunks = 2.0 * lastFrameSeconds * st.sampleRate / kStreamChunkFrames;
        const std::size_t maxFirstFills = std::max(kFirstFillsPerUpdate, static_cast<std::size_t>(frameChunks));
        std::size_t firstFills = 0;
        while (!st.idle.empty() && !st.eof) {
            const bool first = st.idle.size() <= st.unfilled;
            if (first && firstFills == maxFirstFills) break;
            if (!decoder.Take(st.id, st.chunk, loopback)) break;
            if (st.chunk.last) st.eof = true;
            if (st.chunk.frames == 0) continue;
            const ALuint b = st.idle.back();
            st.idle.pop_back();
            if (first) {
                ++firstFills;
                --st.unfilled;
            }
            alBufferData(
                b, st.format, st.chunk.pcm.data(),
                static_cast<ALsizei>(st.chunk.frames * static_cast<std::size_t>(st.outChannels) * sizeof(std::int16_t)),
                st.chunk.sampleRate);
            alSourceQueueBuffers(c.source, 1, &b);
        }
    }

    // A file that can no longer be read gives a stream that ends at once
    // (its channel is freed by the next Update).
    void StartStream(ChannelData& c, const SoundData& sound) {
        auto st = std::make_unique<StreamState>();
        st->outChannels = sound.channels;
        st->sampleRate = sound.sampleRate;
        st->format = sound.channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
        st->buffers.resize(StreamBuffers(sound.sampleRate));
        st->id = decoder.Start(sound.path, sound.channels, c.loop, st->buffers.size());
        alGenBuffers(static_cast<ALsizei>(st->buffers.size()), st->buffers.data());
        // Filled last buffer first, so they are queued in their order.
        st->idle.assign(st->buffers.rbegin(), st->buffers.rend());
        st->unfilled = st->idle.size();
        c.stream = std::move(st);
        QueueDecoded(c);
    }

    void ServiceStream(ChannelData& c) {
        StreamState& st = *c.stream;
        ALint processed = 0;
        alGetSourcei(c.source, AL_BUFFERS_PROCESSED, &processed);
        for (; processed > 0; --processed) {
            ALuint b = 0;
            alSourceUnqueueBuffers(c.source, 1, &b);
            st.idle.push_back(b);
        }
        QueueDecoded(c);
        // A source that ran dry (a frame longer than its queue, a late chunk)
        // has stopped, and a stopped source counts every buffer as played, the
        // ones queued since too: it starts again from the fresh ones.
        ALint queued = 0;
        alGetSourcei(c.source, AL_BUFFERS_QUEUED, &queued);
        if (!c.paused && queued > 0 && State(c) == AL_STOPPED) alSourcePlay(c.source);
    }

    void EvaluateGroup(std::uint32_t groupId, double dt, bool mayStop) {
        GroupData* g = Group(groupId);
        if (!g || g->maxAudible < 0) return;
        std::vector<ChannelData*> ranked;
        std::vector<ChannelData*> muted;
        for (ChannelData& c : channels) {
            if (c.generation == 0) continue;
            const SoundData* s = Sound(c.sound);
            if (!s || s->group != groupId) continue;
            (c.groupMuted ? muted : ranked).push_back(&c);
        }
        std::sort(ranked.begin(), ranked.end(), [](const ChannelData* a, const ChannelData* b) {
            return a->priority != b->priority ? a->priority < b->priority : a->order < b->order;
        });
        for (std::size_t i = static_cast<std::size_t>(g->maxAudible); i < ranked.size(); ++i) {
            ranked[i]->groupMuted = true;
            if (!ranked[i]->heard) ranked[i]->groupGain = 0.0f;
            muted.push_back(ranked[i]);
        }
        const float step = g->fadeSeconds > 0.0f ? static_cast<float>(dt / g->fadeSeconds) : 1.0f;
        for (ChannelData* c : muted) {
            if (dt > 0.0) c->groupGain = std::max(0.0f, c->groupGain - step);
            ApplyGain(*c);
            if (mayStop && c->groupGain <= 0.0f) FreeChannel(*c);
        }
    }

    void EvaluateGroupOf(const ChannelData& c) {
        if (const SoundData* s = Sound(c.sound)) EvaluateGroup(s->group, 0.0, false);
    }

    void ShutDown() {
        if (context) alcMakeContextCurrent(context);
        for (ChannelData& c : channels)
            if (c.generation != 0) FreeChannel(c);
        if (!sourcePool.empty()) alDeleteSources(static_cast<ALsizei>(sourcePool.size()), sourcePool.data());
        sourcePool.clear();
        for (SoundData& s : sounds) {
            if (s.buffer) alDeleteBuffers(1, &s.buffer);
            s = SoundData{};
        }
        channels.clear();
        freeSlots.clear();
        if (context) {
            alcMakeContextCurrent(nullptr);
            alcDestroyContext(context);
        }
        if (device) alcCloseDevice(device);
        context = nullptr;
        device = nullptr;
    }
};

AudioDevice::AudioDevice() : impl_(std::make_unique<Impl>()) {
    g_current = this;
}

AudioDevice::~AudioDevice() {
    Release();
    if (g_current == this) g_current = nullptr;
}

AudioDevice* AudioDevice::Current() {
    return g_current;
}

bool AudioDevice::Init(int maxChannels, Output output, const std::string& deviceName) {
    Impl& d = *impl_;
    d.ShutDown();
    maxChannels = std::max(1, maxChannels);
    d.loopback = output == Output::Loopback;
    if (d.loopback) {
        d.device = alcLoopbackOpenDeviceSOFT(nullptr);
    } else {
        d.device = alcOpenDevice(deviceName.empty() ? nullptr : deviceName.c_str());
    }
    if (!d.device) {
        d.error = deviceName.empty() ? "no audio output device" : "no audio output device \"" + deviceName + "\"";
        return false;
    }
    std::vector<ALCint> attrs = {ALC_MONO_SOURCES, maxChannels, ALC_STEREO_SOURCES, std::min(maxChannels, 64)};
    if (d.loopback) {
        attrs.insert(attrs.end(), {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT, ALC_FLOAT_SOFT,
                                   ALC_FREQUENCY, kLoopbackRate, ALC_HRTF_SOFT, ALC_FALSE});
    }
    attrs.push_back(0);
    d.context = alcCreateContext(d.device, attrs.data());
    if (!d.context || !alcMakeContextCurrent(d.context)) {
        d.error = "the audio output device could not be started";
        if (d.context) alcDestroyContext(d.context);
        alcCloseDevice(d.device);
        d.context = nullptr;
        d.device = nullptr;
        return false;
    }
    d.error.clear();
    d.channels.resize(static_cast<std::size_t>(maxChannels));
    for (int i = maxChannels; i >= 1; --i) d.freeSlots.push_back(static_cast<std::uint32_t>(i));
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    d.listenerPosition = AudioVector{};
    d.listenerVelocity = AudioVector{};
    d.lastUpdate = d.Now();
    return true;
}

bool AudioDevice::IsSilent() const {
    return impl_->Silent();
}

const std::string& AudioDevice::ErrorText() const {
    return impl_->error;
}

void AudioDevice::Set3DSettings(float dopplerScale, float distanceFactor, float rolloffScale) {
    Impl& d = *impl_;
    if (distanceFactor > 0.0f && std::isfinite(distanceFactor)) d.distanceFactor = distanceFactor;
    if (rolloffScale >= 0.0f && std::isfinite(rolloffScale)) d.rolloff = rolloffScale;
    if (d.Silent()) return;
    if (dopplerScale >= 0.0f && std::isfinite(dopplerScale)) alDopplerFactor(dopplerScale);
    alSpeedOfSound(kSpeedOfSoundPerUnit * d.distanceFactor);
}

AudioSoundGroup AudioDevice::CreateSoundGroup(const std::string& name) {
    GroupData g;
    g.live = true;
    g.name = name;
    impl_->groups.push_back(g);
    return AudioSoundGroup{static_cast<std::uint32_t>(impl_->groups.size())};
}

void AudioDevice::SetMaxAudible(AudioSoundGroup group, int count) {
    if (GroupData* g = impl_->Group(group.id)) g->maxAudible = std::max(-1, count);
}

void AudioDevice::SetMuteFadeSpeed(AudioSoundGroup group, float seconds) {
    if (GroupData* g = impl_->Group(group.id)) g->fadeSeconds = std::max(0.0f, seconds);
}

void AudioDevice::StopGroup(AudioSoundGroup group) {
    Impl& d = *impl_;
    if (!d.Group(group.id)) return;
    for (ChannelData& c : d.channels) {
        if (c.generation == 0) continue;
        const SoundData* s = d.Sound(c.sound);
        if (s && s->group == group.id) d.FreeChannel(c);
    }
}

AudioSound AudioDevice::CreateStream(const std::string& path, bool loop, std::string* why) {
    Impl& d = *impl_;
    if (d.Silent()) return {};
    SoundFile file;
    if (!file.Open(path, why)) return {};
    SoundData s;
    s.live = true;
    s.stream = true;
    s.loop = loop;
    s.path = path;
    s.channels = file.Channels() == 1 ? 1 : 2;
    s.sampleRate = file.SampleRate();
    d.sounds.push_back(s);
    return AudioSound{static_cast<std::uint32_t>(d.sounds.size())};
}

std::int64_t AudioDevice::MaxDecodedFrames(int sampleRate, int channels) {
    const std::int64_t byTime = static_cast<std::int64_t>(kMaxDecodedSeconds) * std::max(sampleRate, 1);
    const std::int64_t byBytes = static_cast<std::int64_t>(
        kMaxDecodedBytes / (sizeof(std::int16_t) * static_cast<unsigned>(std::max(channels, 1))));
    return std::min(byTime, byBytes);
}

AudioSound AudioDevice::CreateSound(const std::string& path, bool loop, bool positional, std::string* why) {
    Impl& d = *impl_;
    if (d.Silent()) return {};
    SoundFile file;
    if (!file.Open(path, why)) return {};
    const int outChannels = positional || file.Channels() == 1 ? 1 : 2;
    const std::int64_t maxFrames = MaxDecodedFrames(file.SampleRate(), outChannels);
    auto tooLong = [&](const std::string& length) {
        if (why)
            *why = path + " runs " + length + "; a decoded sound may run at most " +
                   std::to_string(kMaxDecodedSeconds) + " s (" + std::to_string(maxFrames) + " frames here)";
        return AudioSound{};
    };
    // The length the file declares is refused before anything is decoded;
    // the decoding below holds to the bound whatever the header said.
    if (file.Frames() > maxFrames) return tooLong(std::to_string(file.Frames() / file.SampleRate()) + " s");
    std::vector<std::int16_t> pcm;
    if (file.Frames() > 0) pcm.reserve(static_cast<std::size_t>(file.Frames()) * static_cast<std::size_t>(outChannels));
    std::vector<std::int16_t> chunk(kStreamChunkFrames * static_cast<std::size_t>(outChannels));
    while (std::size_t n = file.Read(chunk.data(), kStreamChunkFrames, outChannels)) {
        if (static_cast<std::int64_t>(pcm.size() / static_cast<std::size_t>(outChannels) + n) > maxFrames)
            return tooLong("longer than its header says");
        pcm.insert(pcm.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(n * outChannels));
    }
    if (pcm.empty()) {
        if (why) *why = path + ": no samples";
        return {};
    }
    SoundData s;
    s.live = true;
    s.positional = positional;
    s.loop = loop;
    s.path = path;
    s.channels = outChannels;
    alGetError();
    alGenBuffers(1, &s.buffer);
    alBufferData(s.buffer, outChannels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, pcm.data(),
                 static_cast<ALsizei>(pcm.size() * sizeof(std::int16_t)), file.SampleRate());
    if (const ALenum error = alGetError(); error != AL_NO_ERROR) {
        if (why)
            *why = path + ": the mixer refused its samples (" + std::to_string(file.SampleRate()) + " Hz, " +
                   (alGetString(error) ? alGetString(error) : "error") + ")";
        alDeleteBuffers(1, &s.buffer);
        return {};
    }
    d.sounds.push_back(s);
    return AudioSound{static_cast<std::uint32_t>(d.sounds.size())};
}

void AudioDevice::SetSoundGroup(AudioSound sound, AudioSoundGroup group) {
    if (SoundData* s = impl_->Sound(sound.id)) s->group = impl_->Group(group.id) ? group.id : 0;
}

void AudioDevice::ReleaseSound(AudioSound sound) {
    Impl& d = *impl_;
    SoundData* s = d.Sound(sound.id);
    if (!s) return;
    for (ChannelData& c : d.channels)
        if (c.generation != 0 && c.sound == sound.id) d.FreeChannel(c);
    if (s->buffer) alDeleteBuffers(1, &s->buffer);
    *s = SoundData{};
}

AudioChannel AudioDevice::PlaySound(AudioSound sound, bool paused, AudioChannel reuse) {
    Impl& d = *impl_;
    if (d.Silent()) return {};
    const SoundData* s = d.Sound(sound.id);
    if (!s) return {};
    ChannelData* c = d.Lookup(reuse);
    if (c) {
        d.StopVoice(*c);
    } else {
        c = d.AllocateSlot();
        if (!c) return {};
    }
    c->sound = sound.id;
    c->priority = kDefaultPriority;
    c->volume = 1.0f;
    c->groupGain = 1.0f;
    c->groupMuted = false;
    c->heard = false;
    c->paused = paused;
    c->loop = s->loop;
    c->positional = s->positional;
    c->order = ++d.playOrder;
    if (!d.AcquireSource(*c)) {
        d.FreeChannel(*c);
        return {};
    }
    d.ConfigureSource(*c);
    if (s->stream) {
        d.StartStream(*c, *s);
    } else {
        alSourcei(c->source, AL_BUFFER, static_cast<ALint>(s->buffer));
        alSourcei(c->source, AL_LOOPING, c->loop ? AL_TRUE : AL_FALSE);
    }
    d.ApplyGain(*c);
    const AudioChannel handle(static_cast<std::uint32_t>(c - d.channels.data()) + 1, c->generation);
    if (!paused) ChannelSetPaused(handle, false);
    return handle;
}

void AudioDevice::Set3DListenerAttributes(const AudioVector* position, const AudioVector* velocity,
                                          const AudioVector* forward, const AudioVector* up) {
    Impl& d = *impl_;
    ALfloat v[6];
    if (position && Finite(*position)) d.listenerPosition = *position;
    if (velocity) d.listenerVelocity = Finite(*velocity) ? *velocity : AudioVector{};
    if (d.Silent()) return;
    ToMixer(d.listenerPosition, v);
    alListenerfv(AL_POSITION, v);
    ToMixer(d.listenerVelocity, v);
    alListenerfv(AL_VELOCITY, v);
    if (forward && up && Finite(*forward) && Finite(*up)) {
        const float fl = forward->x * forward->x + forward->y * forward->y + forward->z * forward->z;
        const float ul = up->x * up->x + up->y * up->y + up->z * up->z;
        if (fl > 0.0f && ul > 0.0f) {
            ToMixer(*forward, v);
            ToMixer(*up, v + 3);
            alListenerfv(AL_ORIENTATION, v);
        }
    }
}

void AudioDevice::Get3DListenerAttributes(AudioVector* position, AudioVector* velocity) const {
    if (position) *position = impl_->listenerPosition;
    if (velocity) *velocity = impl_->listenerVelocity;
}

void AudioDevice::Update() {
    Impl& d = *impl_;
    if (d.Silent()) return;
    const double now = d.Now();
    const double dt = std::max(0.0, now - d.lastUpdate);
    d.lastUpdate = now;
    d.lastFrameSeconds = dt;
    for (ChannelData& c : d.channels) {
        if (c.generation == 0) continue;
        if (c.stream) d.ServiceStream(c);
        if (d.Finished(c)) d.FreeChannel(c);
    }
    for (std::size_t g = 0; g < d.groups.size(); ++g) d.EvaluateGroup(static_cast<std::uint32_t>(g + 1), dt, true);
}

void AudioDevice::Release() {
    impl_->ShutDown();
}

int AudioDevice::ChannelsPlaying() const {
    int n = 0;
    for (const ChannelData& c : impl_->channels)
        if (c.generation != 0 && !impl_->Finished(c)) ++n;
    return n;
}

void AudioDevice::RenderLoopback(float* out, int frames) {
    Impl& d = *impl_;
    if (frames <= 0) return;
    if (!d.loopback || d.Silent()) {
        std::fill(out, out + 2 * frames, 0.0f);
        return;
    }
    alcRenderSamplesSOFT(d.device, out, frames);
    d.loopbackFrames += static_cast<std::uint64_t>(frames);
}

void AudioDevice::ChannelStop(AudioChannel channel) {
    if (ChannelData* c = impl_->Lookup(channel)) impl_->FreeChannel(*c);
}

void AudioDevice::ChannelSetPaused(AudioChannel channel, bool paused) {
    ChannelData* c = impl_->Lookup(channel);
    if (!c) return;
    c->paused = paused;
    const ALint state = impl_->State(*c);
    if (paused) {
        if (state == AL_PLAYING) alSourcePause(c->source);
    } else {
        // Settle its group's audible set first, so that a sound started over
        // the limit is never heard.
        impl_->EvaluateGroupOf(*c);
        if (state == AL_INITIAL || state == AL_PAUSED) alSourcePlay(c->source);
        if (!c->groupMuted) c->heard = true;
    }
}

bool AudioDevice::ChannelGetPaused(AudioChannel channel) const {
    const ChannelData* c = impl_->Lookup(channel);
    return c && c->paused;
}

void AudioDevice::ChannelSetVolume(AudioChannel channel, float volume) {
    ChannelData* c = impl_->Lookup(channel);
    if (!c) return;
    c->volume = std::isfinite(volume) ? std::clamp(volume, 0.0f, 1.0f) : 0.0f;
    impl_->ApplyGain(*c);
}

float AudioDevice::ChannelGetVolume(AudioChannel channel) const {
    const ChannelData* c = impl_->Lookup(channel);
    return c ? c->volume : 0.0f;
}

void AudioDevice::ChannelSetPriority(AudioChannel channel, int priority) {
    ChannelData* c = impl_->Lookup(channel);
    if (!c) return;
    c->priority = std::clamp(priority, 0, kLeastPriority);
}

void AudioDevice::ChannelSetLoop(AudioChannel channel, bool loop) {
    ChannelData* c = impl_->Lookup(channel);
    if (!c) return;
    c->loop = loop;
    if (c->stream)
        impl_->decoder.SetLoop(c->stream->id, loop);
    else
        alSourcei(c->source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
}

void AudioDevice::ChannelSet3DAttributes(AudioChannel channel, const AudioVector& position,
                                         const AudioVector& velocity) {
    ChannelData* c = impl_->Lookup(channel);
    if (!c || !c->positional) return;
    ALfloat v[3];
    if (Finite(position)) {
        ToMixer(position, v);
        alSourcefv(c->source, AL_POSITION, v);
    }
    ToMixer(Finite(velocity) ? velocity : AudioVector{}, v);
    alSourcefv(c->source, AL_VELOCITY, v);
}

bool AudioDevice::ChannelIsPlaying(AudioChannel channel) const {
    const ChannelData* c = impl_->Lookup(channel);
    return c && !impl_->Finished(*c);
}

AudioSound AudioDevice::ChannelGetCurrentSound(AudioChannel channel) const {
    const ChannelData* c = impl_->Lookup(channel);
    return c ? AudioSound{c->sound} : AudioSound{};
}
