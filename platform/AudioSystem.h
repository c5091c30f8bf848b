// The engine system that plays sound effects and music: loads every file of
// the "sfx" folder as a looping 3-D sound and every file of the "bgm" folder
// as a music stream, plays them on request by message, keeps the 3-D listener
// at the active camera, moves the LoopedSound channels with their objects,
// and ducks (pause) or silences (mute) the sound. Created third of the engine
// systems and owned by the Engine for the whole run; the sounds live as long.
// Main thread only (the mixer and the music decoder have threads of their
// own inside the audio port).
#pragma once
#include <functional>
#include <map>
#include <string>

#include "engine/ComponentList.h"
#include "engine/ISystem.h"
#include "port/audio/AudioDevice.h"
#include "port/math/D3DXVector.h"

class LoopedSound;
class Transform;
struct SoundEventData;

class AudioSystem : public ISystem {
public:
    static constexpr int kChannelCount = 1024;
    static constexpr float kDefaultEffectsVolume = 0.8f;
    static constexpr float kDefaultMusicVolume = 0.7f;
    // Music volume factor while the system is paused.
    static constexpr float kPausedMusicFactor = 0.2f;

    // output: the real device, or the loopback mix for tests (read with
    // Device().RenderLoopback). deviceName chooses a device other than the default.
    explicit AudioSystem(AudioDevice::Output output = AudioDevice::Output::Default, const std::string& deviceName = {});
    // Stops everything and frees every sound.
    ~AudioSystem() override;

    void HandleMessage(Message* message) override;
    void Update(float dt) override;
    // Subscribes, opens the output (no device: one log row, then silence) and
    // loads the "sfx" and "bgm" folders of the asset directories.
    void Init() override;
    // Forgets the scene's looped sounds.
    void Clear() override;
    // Deactivation stops every sound.
    void Deactivate() override { StopAll(); }
    // Pauses the effects and positioned looped sounds, ducks the music.
    void SetPaused(bool paused) override;

    // Stops the effects, every music stream and every positioned looped sound.
    void StopAll();
    void PlaySound(const SoundEventData& data);
    void PlayMusic(const std::string& name, float volume);

    // Files one sound under its name (the file name without extension).
    void LoadEffect(const std::string& name, const std::string& path);
    void LoadMusic(const std::string& name, const std::string& path);

    AudioDevice& Device() { return device_; }
    bool IsMuted() const { return muted_; }
    const AudioChannel& GetEffectsChannel() const { return effectsChannel_; }
    const AudioChannel& GetMusicChannel() const { return musicChannel_; }
    const ComponentList& GetLoopedSounds() const { return loopedSounds_; }
    // The stream loaded under the name (null when none): what the music
    // channel plays is one of these.
    AudioSound GetMusicStream(const std::string& name) const;

private:
    void Mute(bool muted);
    // The Transform of the active camera's object, or null.
    Transform* CameraTransform() const;
    void ForEachLoopedSound(const std::function<void(LoopedSound&)>& visit) const;
    float MusicLevel() const;

    AudioDevice::Output output_;
    std::string deviceName_;
    AudioDevice device_;
    AudioChannel effectsChannel_;  // the last one-shot effect
    AudioChannel musicChannel_;    // the music heard now
    ComponentList loopedSounds_;
    AudioSoundGroup musicGroup_;  // "BGM": one audible stream, 2-second fade
    float effectsVolume_ = kDefaultEffectsVolume;
    float musicVolume_ = kDefaultMusicVolume;
    D3DXVECTOR3 previousListenerPosition_;
    D3DXVECTOR3 listenerPosition_;
    D3DXVECTOR3 listenerVelocity_;
    std::map<std::string, AudioSound> effectSounds_;
    std::map<std::string, AudioSound> musicStreams_;
    u32 cameraId_ = 0;  // active camera component, as the renderer announces it each frame
    bool muted_ = false;
};
