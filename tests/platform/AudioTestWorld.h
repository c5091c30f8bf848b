// Fixture of the AudioSystem and LoopedSound tests: the engine-wide services
// in start-up order, an Engine holding one AudioSystem that mixes into the
// loopback device, test sounds written to a temporary folder, and a frame
// helper that drains the messages, updates the system and renders the mix.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/GameObject.h"
#include "engine/MessageTypes.h"
#include "engine/Transform.h"
#include "platform/AudioSystem.h"
#include "platform/LoopedSound.h"
#include "platform/MusicEventData.h"
#include "platform/SoundEventData.h"
#include "port/math/D3DXQuaternion.h"
#include "tests/port/AudioTestSounds.h"
#include "tests/support/TestServices.h"

// Stands for the renderer's camera component: the listener follows the
// Transform of its object.
class AudioTestCamera : public IComponent {
public:
    AudioTestCamera() : IComponent(TypeId<AudioTestCamera>::Get()) {}
    IComponent* Clone() override { return new AudioTestCamera(); }
};

class AudioWorld : public ::testing::Test, protected EngineServices {
protected:
    static constexpr float kFrame = 0.02f;
    static constexpr float kAudible = 0.05f;
    static constexpr float kSilent = 0.002f;

    void SetUp() override {
        ASSERT_FALSE(sounds.Path().empty());
        engine->AddSystem(audio);
        audio->Init();
        ASSERT_FALSE(audio->Device().IsSilent()) << audio->Device().ErrorText();
        // Effects are mono tones; the two tracks sit on one speaker each so
        // the mix tells them apart.
        audio->LoadEffect("beep", sounds.WriteTone("beep.wav", 1, 0.1f, 440.0f, 0.5f));
        audio->LoadEffect("hum", sounds.WriteTone("hum.ogg", 1, 0.25f, 330.0f, 0.5f));
        audio->LoadMusic("Menu_loop", sounds.WriteTone("Menu_loop.ogg", 2, 0.5f, 220.0f, 0.5f, 0.0f));
        audio->LoadMusic("Level", sounds.WriteTone("Level.flac", 2, 0.5f, 220.0f, 0.0f, 0.5f));
    }

    void TearDown() override {
        engine->RemoveSystem(audio);  // deletes it while the services still exist
    }

    // Frames of kFrame seconds: drain, update the system, render the frame's audio.
    RenderedMix Run(float seconds) {
        RenderedMix mix;
        const int frames = static_cast<int>(seconds / kFrame + 0.5f);
        const int samples = static_cast<int>(kFrame * AudioDevice::kLoopbackRate);
        mix.samples.resize(static_cast<std::size_t>(frames * samples) * 2);
        for (int i = 0; i < frames; ++i) {
            hub->DispatchQueued();
            audio->Update(kFrame);
            audio->Device().RenderLoopback(mix.samples.data() + static_cast<std::size_t>(i * samples) * 2, samples);
        }
        return mix;
    }

    // One frame per entry, of that many seconds (each frame's dt is the one
    // before it, as in the frame loop), rendered in one mix.
    RenderedMix RunFrames(const std::vector<float>& frameSeconds) {
        RenderedMix mix;
        float dt = 0.0f;
        for (const float seconds : frameSeconds) {
            hub->DispatchQueued();
            audio->Update(dt);
            const auto samples = static_cast<std::size_t>(seconds * AudioDevice::kLoopbackRate);
            mix.samples.resize(mix.samples.size() + samples * 2);
            audio->Device().RenderLoopback(mix.samples.data() + mix.samples.size() - samples * 2,
                                           static_cast<int>(samples));
            dt = seconds;
        }
        return mix;
    }

    void Send(const Kind<NoPayload>& kind) { SendToSystem(kind, TypeId<AudioSystem>::Get(), 0); }

    void PostEffect(const std::string& name, float volume = 1.0f) {
        SoundEventData data;
        data.name = name;
        data.volume = volume;
        PostToSystem(kMsgPlaySound, TypeId<AudioSystem>::Get(), 0, data);
    }

    void PostMusic(const std::string& name, float volume = 1.0f) {
        PostToSystem(kMsgPlayMusic, TypeId<AudioSystem>::Get(), 0, MusicEventData{name, volume});
    }

    // An object with a Transform at `position` and the given component.
    GameObject* MakeObject(const D3DXVECTOR3& position, IComponent* component) {
        auto* object = new GameObject();
        auto* transform = new Transform();
        object->AddComponent(transform);
        transform->SetPosition(position.x, position.y, position.z);
        if (component) object->AddComponent(component);
        object->Init();
        object->AnnounceComponents();
        return object;
    }

    // A camera at the origin facing +z; the renderer's per-frame announcement.
    Transform* MakeCamera() {
        auto* camera = new AudioTestCamera();
        GameObject* object = MakeObject(D3DXVECTOR3(), camera);
        Broadcast(kMsgActiveCamera, 0, camera->GetId());
        return object->GetComponent<Transform>();
    }

    LoopedSound* MakeLoopedSound(const std::string& name, bool positioned, const D3DXVECTOR3& position,
                                 bool autoPlay = true) {
        auto* sound = new LoopedSound();
        sound->SetFilename(name);
        sound->SetPositioned(positioned);
        sound->SetAutoPlay(autoPlay);
        MakeObject(position, sound);
        return sound;
    }

    TempSoundDir sounds;
    AudioSystem* audio = new AudioSystem(AudioDevice::Output::Loopback);
};
