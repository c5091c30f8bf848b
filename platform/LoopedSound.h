// Component that plays one named sound for its object: positioned, a looping
// 3-D effect that follows the object's Transform; otherwise a music track.
// Playing starts by a request the AudioSystem handles at the next message
// drain; the AudioSystem then hands this component its channel and moves the
// channel with the object once a frame. Owned by its GameObject; main thread only.
#pragma once
#include <string>

#include "engine/Component.h"
#include "port/audio/AudioChannel.h"

class LoopedSound : public Component<LoopedSound> {
public:
    LoopedSound() = default;
    // Copies the reflected fields only: the copy has no channel and is not
    // playing.
    LoopedSound(const LoopedSound& other);

    static void Reflect(MemberList<LoopedSound>& members);

    // Moves a positioned sound's channel to the object's place and motion.
    void Update(float dt) override;
    // Plays when autoPlay is set.
    void Init() override;
    // Stops a positioned sound (the object is going away).
    void Shutdown() override;

    // Asks the AudioSystem to start the sound unless it is playing already.
    void Play();
    // Stops a positioned sound's channel and forgets it; also cancels a play
    // request that has not been handled yet.
    void StopChannel();

    bool IsPlaying() const { return playing_; }
    const AudioChannel& GetChannel() const { return channel_; }
    // The AudioSystem's write-back of the channel the sound plays on.
    void SetChannel(const AudioChannel& channel) { channel_ = channel; }
    // Called by the AudioSystem when it stops every sound.
    void ForgetChannel();

    const std::string& GetFilename() const { return filename_; }
    float GetVolume() const { return volume_; }
    bool IsPositioned() const { return positioned_; }
    bool IsAutoPlay() const { return autoPlay_; }
    void SetFilename(const std::string& filename) { filename_ = filename; }
    void SetVolume(float volume) { volume_ = volume; }
    void SetPositioned(bool positioned) { positioned_ = positioned; }
    void SetAutoPlay(bool autoPlay) { autoPlay_ = autoPlay; }

private:
    // Reflected ("filename", "volume", "positioned", "autoPlay").
    std::string filename_;
    float volume_ = 1.0f;
    bool positioned_ = false;
    bool autoPlay_ = true;
    // Run-time state.
    AudioChannel channel_;
    u32 transformId_ = 0;  // the object's Transform, found when a positioned sound starts
    bool playing_ = false;
};
