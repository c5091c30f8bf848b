#include "platform/LoopedSound.h"

#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "platform/MusicEventData.h"
#include "platform/SoundEventData.h"
#include "reflection/MetaMemVar.h"

LoopedSound::LoopedSound() : IComponent(TypeId<LoopedSound>::Get()) {
    static bool first = true;
    if (!first) return;
    first = false;
    using M = MetaMemVar<LoopedSound>;
    M::Add("filename", this, filename_);
    M::Add("volume", this, volume_);
    M::Add("positioned", this, positioned_);
    M::Add("autoPlay", this, autoPlay_);
}

void LoopedSound::Init() {
    if (autoPlay_) Play();
}

void LoopedSound::Play() {
    if (playing_) return;
    if (!positioned_) {
        PostLater(MakePlayMusicMessage(GetId(), filename_, volume_));
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
        PostSoundEvent(GetId(), data);
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

IComponent* LoopedSound::Clone() {
    auto* copy = new LoopedSound();
    copy->filename_ = filename_;
    copy->volume_ = volume_;
    copy->positioned_ = positioned_;
    copy->autoPlay_ = autoPlay_;
    return copy;
}
