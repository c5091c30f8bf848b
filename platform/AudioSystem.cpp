#include "platform/AudioSystem.h"

#include <cmath>

#include "engine/Engine.h"
#include "engine/Logger.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "platform/LoopedSound.h"
#include "platform/MusicEventData.h"
#include "platform/SoundEventData.h"
#include "port/math/D3DXMatrix.h"
#include "scene/DevozizuDave.h"

namespace {

constexpr int kLeastPriority = 256;
constexpr int kMusicPriority = 128;
constexpr float kDopplerScale = 0.4f;
constexpr float kDistanceFactor = 100.0f;
constexpr float kRolloffScale = 1.0f;
constexpr float kMusicFadeSeconds = 2.0f;

AudioVector ToAudio(const D3DXVECTOR3& v) {
    return AudioVector{v.x, v.y, v.z};
}

bool Finite(const D3DXVECTOR3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

}  // namespace

AudioSystem::AudioSystem(AudioDevice::Output output, const std::string& deviceName)
    : ISystem(TypeId<AudioSystem>::Get()), output_(output), deviceName_(deviceName) {
    SetName("AudioSystem");
}

AudioSystem::~AudioSystem() {
    StopAll();
    loopedSounds_.Clear();
    for (auto& [name, sound] : effectSounds_) device_.ReleaseSound(sound);
    effectSounds_.clear();
    for (auto& [name, sound] : musicStreams_) device_.ReleaseSound(sound);
    musicStreams_.clear();
    device_.Release();
}

void AudioSystem::Init() {
    Subscribe(ComponentAnnounced(TypeId<LoopedSound>::Get()));
    Subscribe(kMsgPlaySound);
    Subscribe(kMsgSoundOff);
    Subscribe(kMsgSoundOn);
    // The renderer announces its active camera every frame; the listener sits there.
    Subscribe(kMsgActiveCamera);

    if (!device_.Init(kChannelCount, output_, deviceName_))
        Log("AudioSystem: %s, running without sound", device_.ErrorText().c_str());
    device_.Set3DSettings(kDopplerScale, kDistanceFactor, kRolloffScale);
    previousListenerPosition_ = listenerPosition_ = listenerVelocity_ = D3DXVECTOR3();

    musicGroup_ = device_.CreateSoundGroup("BGM");
    device_.SetMaxAudible(musicGroup_, 1);
    device_.SetMuteFadeSpeed(musicGroup_, kMusicFadeSeconds);

    if (DevozizuDave* folders = DevozizuDave::Instance()) {
        FilePath& bgm = folders->bgm;
        bgm.ListDirectory();
        for (const std::string& name : bgm.fileNames) LoadMusic(name, bgm.FindFullPath(name));
        FilePath& sfx = folders->sfx;
        sfx.ListDirectory();
        for (const std::string& name : sfx.fileNames) LoadEffect(name, sfx.FindFullPath(name));
    }
}

void AudioSystem::LoadMusic(const std::string& name, const std::string& path) {
    std::string why;
    const AudioSound stream = device_.CreateStream(path, true, &why);
    if (!why.empty()) Log("AudioSystem: music %s not loaded: %s", name.c_str(), why.c_str());
    musicStreams_[name] = stream;
    device_.SetSoundGroup(stream, musicGroup_);
}

void AudioSystem::LoadEffect(const std::string& name, const std::string& path) {
    std::string why;
    effectSounds_[name] = device_.CreateSound(path, true, true, &why);
    if (!why.empty()) Log("AudioSystem: sound effect %s not loaded: %s", name.c_str(), why.c_str());
}

void AudioSystem::HandleMessage(Message* message) {
    if (message->type == kMsgTypeComponentAnnounced) {
        if (const u32* id = message->Read(ComponentAnnounced(TypeId<LoopedSound>::Get()))) loopedSounds_.Add(*id);
        return;
    }
    if (message->type != kMsgTypeEvent) return;
    switch (message->argument) {
        case kMsgActiveCamera.argument:
            if (const u32* id = message->Read(kMsgActiveCamera)) cameraId_ = *id;
            break;
        case kMsgPlaySound.argument:
            if (const SoundEventData* sound = message->Read(kMsgPlaySound)) PlaySound(*sound);
            break;
        case kMsgPlayMusic.argument:
            if (const MusicEventData* music = message->Read(kMsgPlayMusic); music && IsActive())
                PlayMusic(music->name, music->volume);
            break;
        case kMsgStopAllSound.argument:
            StopAll();
            break;
        case kMsgSoundOff.argument:
            Mute(true);
            break;
        case kMsgSoundOn.argument:
            Mute(false);
            break;
        default:
            break;
    }
}

AudioSound AudioSystem::GetMusicStream(const std::string& name) const {
    const auto found = musicStreams_.find(name);
    return found != musicStreams_.end() ? found->second : AudioSound{};
}

void AudioSystem::PlaySound(const SoundEventData& data) {
    if (data.name.empty()) return;
    // An unknown name plays nothing and leaves every channel as it is.
    const auto found = effectSounds_.find(data.name);
    if (found == effectSounds_.end()) return;
    const AudioSound sound = found->second;

    AudioChannel channel;
    if (!data.looped) {
        // Sound off drops one-shots.
        if (muted_) return;
        effectsChannel_ = device_.PlaySound(sound, true);
        effectsChannel_.SetLoop(false);
        channel = effectsChannel_;
    } else {
        // The requesting component may have been removed, or stopped, since it
        // asked: then there is nobody to hand a looping channel to.
        Overlord* registry = Overlord::Instance();
        LoopedSound* owner = registry ? registry->GetComponentById<LoopedSound>(data.loopedSoundId) : nullptr;
        if (!owner || !owner->IsPlaying()) return;
        channel = device_.PlaySound(sound, true, owner->GetChannel());
        channel.SetLoop(true);
        owner->SetChannel(channel);
    }
    channel.Set3DAttributes(ToAudio(data.position), ToAudio(data.velocity));
    // A looped sound started with the sound off plays silently until sound is
    // back on, so it is not lost.
    channel.SetVolume(muted_ ? 0.0f : effectsVolume_ * data.volume);
    channel.SetPaused(false);
}

void AudioSystem::PlayMusic(const std::string& name, float volume) {
    if (name.empty()) return;
    const auto found = musicStreams_.find(name);
    if (found == musicStreams_.end()) return;
    const AudioSound stream = found->second;
    if (musicChannel_.IsPlaying()) {
        if (musicChannel_.GetCurrentSound() == stream) return;
        // Least important: the group's one-audible rule fades it out.
        musicChannel_.SetPriority(kLeastPriority);
    }
    musicChannel_ = device_.PlaySound(stream, true);
    if (muted_) musicChannel_.SetVolume(0.0f);
    musicChannel_.SetPriority(kMusicPriority);
    musicChannel_.SetPaused(false);
    musicChannel_.SetVolume(musicVolume_ * volume);
    if (muted_) musicChannel_.SetVolume(0.0f);
}

void AudioSystem::Update(float dt) {
    if (Transform* camera = CameraTransform()) {
        const D3DXVECTOR3 forward = camera->GetForward();  // also brings the transform up to date
        listenerPosition_ = camera->worldPosition;
        const D3DXQUATERNION rotation = camera->GetWorldRotation();
        D3DXMATRIX m;
        D3DXMatrixRotationQuaternion(&m, &rotation);
        const D3DXVECTOR3 up(m._21, m._22, m._23);
        // No motion can be measured over an empty frame (the first one).
        listenerVelocity_ = dt > 0.0f ? (listenerPosition_ - previousListenerPosition_) / dt : D3DXVECTOR3();
        if (!Finite(listenerVelocity_)) listenerVelocity_ = D3DXVECTOR3();
        const AudioVector position = ToAudio(listenerPosition_);
        const AudioVector velocity = ToAudio(listenerVelocity_);
        const AudioVector ahead = ToAudio(forward);
        const AudioVector above = ToAudio(up);
        device_.Set3DListenerAttributes(&position, &velocity, &ahead, &above);
    }
    device_.Update();
    previousListenerPosition_ = listenerPosition_;

    while (loopedSounds_.HasNext())
        if (IComponent* sound = loopedSounds_.Next()) sound->Update(0.0f);
    loopedSounds_.EndPass();
}

void AudioSystem::SetPaused(bool paused) {
    ISystem::SetPaused(paused);
    effectsChannel_.SetPaused(paused);
    ForEachLoopedSound([paused](LoopedSound& sound) {
        if (sound.IsPositioned()) sound.GetChannel().SetPaused(paused);
    });
    if (!muted_) musicChannel_.SetVolume(MusicLevel());
}

void AudioSystem::StopAll() {
    effectsChannel_.Stop();
    musicChannel_.Stop();
    // Also a track still fading out after a change of music.
    device_.StopGroup(musicGroup_);
    ForEachLoopedSound([](LoopedSound& sound) {
        if (sound.IsPositioned() && sound.GetChannel()) {
            sound.GetChannel().Stop();
            sound.ForgetChannel();
        }
    });
}

void AudioSystem::Clear() {
    loopedSounds_.Clear();
}

void AudioSystem::Mute(bool muted) {
    muted_ = muted;
    musicChannel_.SetVolume(muted ? 0.0f : MusicLevel());
    // Sound off silences the looped effects too; they keep their place and
    // come back with sound on.
    const float effects = effectsVolume_;
    ForEachLoopedSound([muted, effects](LoopedSound& sound) {
        if (sound.IsPositioned()) sound.GetChannel().SetVolume(muted ? 0.0f : effects * sound.GetVolume());
    });
}

float AudioSystem::MusicLevel() const {
    return IsPaused() ? musicVolume_ * kPausedMusicFactor : musicVolume_;
}

Transform* AudioSystem::CameraTransform() const {
    Overlord* registry = Overlord::Instance();
    if (!registry || cameraId_ == 0) return nullptr;
    IComponent* camera = registry->GetComponentById(cameraId_);
    return camera ? registry->GetComponent<Transform>(camera->GetOwner()) : nullptr;
}

void AudioSystem::ForEachLoopedSound(const std::function<void(LoopedSound&)>& visit) const {
    Overlord* registry = Overlord::Instance();
    if (!registry) return;
    for (const auto* ids : {&loopedSounds_.Pending(), &loopedSounds_.Done()})
        for (u32 id : *ids)
            if (LoopedSound* sound = registry->GetComponentById<LoopedSound>(id)) visit(*sound);
}
