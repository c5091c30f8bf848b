#include "platform/LoopedSound.h"

#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "platform/AudioSystem.h"
#include "platform/MusicEventData.h"
#include "platform/SoundEventData.h"

LoopedSound::LoopedSound(const LoopedSound& other)
    : Component(other),
      filename_(other.filename_),
      volume_(other.volume_),
      positioned_(other.positioned_),
      autoPlay_(other.autoPlay_) {}

void LoopedSound::Reflect(MemberList<LoopedSound>& members) {
    members.Add("filename", &LoopedSound::filename_);
    members.Add("volume", &LoopedSound::volume_);
    members.Add("positioned", &LoopedSound::positioned_);
    members.Add("autoPlay", &LoopedSound::autoPlay_);
}

void LoopedSound::Init() {
    if (autoPlay_) Play();
}

void LoopedSound::Play() {
    if (playing_) return;
    if (!positioned_) {
        PostToSystem(kMsgPlayMusic, TypeId<AudioSystem>::Get(), GetId(), MusicEventData{filename_, volume_});
    } else {
        Overlord* registry = Overlord::Instance();
        Transform* transform = registry ? registry->GetComponent<Transform>(GetOwner()) : nullptr;
        transformId_ = transform ? transform->GetId() : 0;
        SoundEventData data;
        data.name = filename_;
        if (transform) data.position = transform->worldPosition;
        data.velocity = GetObjectVelocity(GetOwner());
        data.volume = volume_;
        data.looped = true;
        data.loopedSoundId = GetId();
        PostToSystem(kMsgPlaySound, TypeId<AudioSystem>::Get(), GetId(), data);
    }
    playing_ = true;
}

void LoopedSound::Update(float) {
    if (!positioned_ || !channel_) return;
    Overlord* registry = Overlord::Instance();
    Transform* transform = registry ? registry->GetComponentById<Transform>(transformId_) : nullptr;
    if (!transform) return;
    const D3DXVECTOR3 position = transform->worldPosition;
    const D3DXVECTOR3 velocity = GetObjectVelocity(GetOwner());
    channel_.Set3DAttributes({position.x, position.y, position.z}, {velocity.x, velocity.y, velocity.z});
}

void LoopedSound::Shutdown() {
    StopChannel();
}

void LoopedSound::StopChannel() {
    if (!positioned_) return;
    channel_.Stop();
    ForgetChannel();
}

void LoopedSound::ForgetChannel() {
    channel_ = AudioChannel();
    playing_ = false;
}
