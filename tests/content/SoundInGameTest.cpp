// The committed sounds through the game's own audio path: the AudioSystem,
// given the asset tree's start-up file, loads every effect and track without
// a complaint in the log, and each one is heard in the device's mix (the
// loopback output, so no sound card is needed).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "engine/Graveyard.h"
#include "engine/MessageHub.h"
#include "engine/Overlord.h"
#include "platform/AudioSystem.h"
#include "platform/SoundEventData.h"
#include "reflection/MetaRegistry.h"
#include "scene/DevozizuDave.h"
#include "scene/SceneLoader.h"
#include "tests/content/SoundChecks.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TestIdCounter.h"

namespace {

class SoundInGameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folders.Load(std::getenv("DD_ASSET_DIR")));
        engine.AddSystem(audio);
        audio->Init();
        ASSERT_FALSE(audio->Device().IsSilent()) << audio->Device().ErrorText();
    }
    void TearDown() override { engine.RemoveSystem(audio); }

    // The loudest sample of `seconds` of mix, in frames of 20 ms.
    float Loudest(float seconds) {
        const int perFrame = AudioDevice::kLoopbackRate / 50;
        std::vector<float> mix(static_cast<std::size_t>(perFrame) * 2);
        float loudest = 0.0f;
        for (int frame = 0; frame < static_cast<int>(seconds * 50.0f); ++frame) {
            hub.DispatchQueued();
            audio->Update(0.02f);
            audio->Device().RenderLoopback(mix.data(), perFrame);
            for (float s : mix) loudest = std::max(loudest, std::abs(s));
        }
        return loudest;
    }

    LogCapture log;
    MessageHub hub;
    TestIdCounter counter;
    MetaRegistry registry;
    SceneLoader loader;
    DevozizuDave folders;
    Graveyard graveyard;
    Overlord overlord;
    Engine engine;
    AudioSystem* audio = new AudioSystem(AudioDevice::Output::Loopback);
};

TEST_F(SoundInGameTest, EveryEffectAndTrackLoadsAndIsHeard) {
    for (const char* name : kTrackNames) {
        audio->StopAll();
        audio->PlayMusic(name, 1.0f);
        EXPECT_GT(Loudest(1.0f), 0.05f) << name;
    }
    audio->StopAll();
    for (const char* name : kEffectNames) {
        SoundEventData data;
        data.name = name;
        audio->PlaySound(data);
        EXPECT_GT(Loudest(0.3f), 0.05f) << name;
        audio->StopAll();
    }
    std::vector<std::pair<unsigned, std::string>> rows;
    if (!log.Finish(rows)) GTEST_SKIP() << "the log keeps no file";
    for (const auto& [frame, message] : rows) EXPECT_EQ(message.find("AudioSystem"), std::string::npos) << message;
}

}  // namespace
