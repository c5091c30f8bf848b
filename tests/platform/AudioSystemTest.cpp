#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "scene/DevozizuDave.h"
#include "tests/platform/AudioTestWorld.h"

namespace {

using AudioSystemTest = AudioWorld;

TEST_F(AudioSystemTest, OneShotEffectPlaysOnceOnTheSharedChannel) {
    PostEffect("beep");
    PostEffect("beep", 0.5f);
    PostEffect("no such sound");
    EXPECT_GT(Run(0.06f).Left(), kAudible);
    // Both one-shots play; the second took the shared effects channel.
    EXPECT_EQ(audio->Device().ChannelsPlaying(), 2);
    EXPECT_NEAR(audio->GetEffectsChannel().GetVolume(), 0.8f * 0.5f, 1e-6f);
    const RenderedMix later = Run(0.2f);
    EXPECT_LT(later.Rms(0, later.samples.size() / 4), kSilent);
    EXPECT_EQ(audio->Device().ChannelsPlaying(), 0);
}

TEST_F(AudioSystemTest, SameMusicAgainDoesNotRestartIt) {
    PostMusic("Menu_loop", 0.3f);
    Run(0.1f);
    const AudioChannel first = audio->GetMusicChannel();
    ASSERT_TRUE(first.IsPlaying());
    EXPECT_NEAR(first.GetVolume(), 0.7f * 0.3f, 1e-6f);
    PostMusic("Menu_loop");
    PostMusic("unknown track");
    Run(0.1f);
    EXPECT_EQ(audio->GetMusicChannel(), first);
    EXPECT_EQ(audio->Device().ChannelsPlaying(), 1);
}

TEST_F(AudioSystemTest, NewMusicFadesTheOldTrackOutWithinTwoSeconds) {
    PostMusic("Menu_loop");
    const float full = Run(0.3f).Rms(0, 1000);
    ASSERT_GT(full, kAudible);
    PostMusic("Level");
    const RenderedMix firstSecond = Run(1.0f);
    const float fading = firstSecond.Rms(0, AudioDevice::kLoopbackRate * 8 / 10);
    EXPECT_LT(fading, 0.75f * full);
    EXPECT_GT(fading, 0.25f * full);
    EXPECT_GT(firstSecond.Right(), kAudible);
    const RenderedMix after = Run(1.1f);
    EXPECT_LT(after.Rms(0, AudioDevice::kLoopbackRate), kSilent);
    EXPECT_GT(after.Right(), kAudible);
    EXPECT_EQ(audio->Device().ChannelsPlaying(), 1);
}

// At a few frames a second (a slow machine, a loaded one) the music queued
// ahead outlasts each frame: no hole in a level's track through a frame of
// 3 s, nor through several in a row.
TEST_F(AudioSystemTest, LevelMusicHasNoHoleThroughFramesOfThreeSeconds) {
    const char* assets = std::getenv("DD_ASSET_DIR");
    ASSERT_NE(assets, nullptr);
    audio->LoadMusic("Tutorial_loop", std::string(assets) + "/bgm/Tutorial_loop.ogg");
    PostMusic("Tutorial_loop");
    std::vector<float> frames(50, kFrame);
    frames.push_back(3.0f);
    frames.insert(frames.end(), 10, kFrame);
    frames.insert(frames.end(), 3, 3.0f);
    frames.push_back(0.5f);
    const RenderedMix mix = RunFrames(frames);
    ASSERT_GT(mix.Rms(0), kAudible);
    std::size_t at = 0;
    // A millisecond of exact silence on both sides is a hole, not music.
    EXPECT_LT(mix.LongestHole(&at), static_cast<std::size_t>(AudioDevice::kLoopbackRate / 1000))
        << "from " << static_cast<double>(at) / AudioDevice::kLoopbackRate << " s";
}

// Frames as long as the music promises to flow through, amid a playing track
// and from a track's start at a few frames a second (whose first long frame
// plays what one short frame queued): no hole after `from` seconds.
TEST_F(AudioSystemTest, LevelMusicHasNoHoleThroughFramesAsLongAsItPromises) {
    const char* assets = std::getenv("DD_ASSET_DIR");
    ASSERT_NE(assets, nullptr);
    audio->LoadMusic("Tutorial_loop", std::string(assets) + "/bgm/Tutorial_loop.ogg");
    const auto longest = static_cast<float>(AudioDevice::kLongestMusicFrameSeconds);
    std::vector<float> amid(50, kFrame);
    amid.insert(amid.end(), {4.0f, kFrame, 4.2f, longest, longest, 0.5f});
    const std::pair<std::vector<float>, float> cases[] = {{amid, 0.0f},
                                                          {{kFrame, longest, longest, 0.5f}, kFrame + longest}};
    for (const auto& [frames, from] : cases) {
        audio->StopAll();
        PostMusic("Tutorial_loop");
        RenderedMix mix = RunFrames(frames);
        mix.samples.erase(mix.samples.begin(),
                          mix.samples.begin() + static_cast<std::ptrdiff_t>(from * AudioDevice::kLoopbackRate) * 2);
        ASSERT_GT(mix.Rms(0), kAudible);
        std::size_t at = 0;
        EXPECT_LT(mix.LongestHole(&at), static_cast<std::size_t>(AudioDevice::kLoopbackRate / 1000))
            << "from " << from + static_cast<double>(at) / AudioDevice::kLoopbackRate << " s";
    }
}

TEST_F(AudioSystemTest, MusicMessageIgnoredWhileInactive) {
    audio->SetActive(false);
    PostMusic("Menu_loop");
    hub->DispatchQueued();
    EXPECT_FALSE(audio->GetMusicChannel().IsPlaying());
}

TEST_F(AudioSystemTest, PauseDucksTheMusicAndResumeRestoresIt) {
    PostMusic("Level");
    const float full = Run(0.3f).Rms(1, 1000);
    ASSERT_GT(full, kAudible);
    audio->SetPaused(true);
    EXPECT_NEAR(Run(0.2f).Rms(1, 1000) / full, 0.2f, 0.05f);
    audio->SetPaused(false);
    EXPECT_NEAR(Run(0.2f).Rms(1, 1000) / full, 1.0f, 0.05f);
}

TEST_F(AudioSystemTest, PauseHoldsEffectsAndPositionedLoopsButNotMusicLoops) {
    MakeCamera();
    LoopedSound* hum = MakeLoopedSound("hum", true, D3DXVECTOR3(0.0f, 0.0f, 10.0f));
    LoopedSound* track = MakeLoopedSound("Level", false, D3DXVECTOR3());
    Run(0.1f);
    ASSERT_TRUE(hum->GetChannel().IsPlaying());
    ASSERT_TRUE(audio->GetMusicChannel().IsPlaying());
    audio->SetPaused(true);
    EXPECT_TRUE(hum->GetChannel().GetPaused());
    EXPECT_FALSE(audio->GetMusicChannel().GetPaused());
    EXPECT_TRUE(track->IsPlaying());
    // Only the ducked music (right speaker) is left.
    const RenderedMix paused = Run(0.1f);
    EXPECT_LT(paused.Rms(0, 500), kSilent);
    EXPECT_GT(paused.Rms(1, 500), kSilent);
    audio->SetPaused(false);
    EXPECT_FALSE(hum->GetChannel().GetPaused());
}

TEST_F(AudioSystemTest, StopAllSilencesEverything) {
    MakeCamera();
    LoopedSound* hum = MakeLoopedSound("hum", true, D3DXVECTOR3(5.0f, 0.0f, 0.0f));
    PostMusic("Menu_loop");
    PostEffect("beep");
    Run(0.1f);
    PostMusic("Level");  // the first track is fading when everything stops
    Run(0.1f);
    ASSERT_TRUE(hum->GetChannel().IsPlaying());
    PostToSystem(kMsgStopAllSound, TypeId<AudioSystem>::Get(), 0);
    const RenderedMix mix = Run(0.2f);
    EXPECT_LT(mix.Rms(0, 1000), kSilent);
    EXPECT_LT(mix.Rms(1, 1000), kSilent);
    EXPECT_EQ(audio->Device().ChannelsPlaying(), 0);
    EXPECT_FALSE(hum->IsPlaying());
    EXPECT_FALSE(hum->GetChannel());
    // Stopped looped sounds can be started again.
    hum->Play();
    EXPECT_GT(Run(0.1f).Right(), kAudible);
}

TEST_F(AudioSystemTest, DeactivationStopsEverything) {
    PostMusic("Level");
    Run(0.1f);
    audio->SetActive(false);
    audio->Deactivate();
    EXPECT_EQ(audio->Device().ChannelsPlaying(), 0);
}

TEST_F(AudioSystemTest, SoundOffDropsEffectsAndSilencesMusicUntilSoundOn) {
    PostMusic("Level", 0.3f);
    Run(0.1f);
    Send(kMsgSoundOff);
    EXPECT_TRUE(audio->IsMuted());
    EXPECT_EQ(audio->GetMusicChannel().GetVolume(), 0.0f);
    PostEffect("beep");
    PostMusic("Menu_loop");
    const RenderedMix muted = Run(0.3f);
    EXPECT_LT(muted.Rms(0, 500), kSilent);
    EXPECT_LT(muted.Rms(1, 500), kSilent);
    EXPECT_EQ(audio->GetMusicChannel().GetVolume(), 0.0f);
    // Sound on restores the full music volume, whatever the track's factor.
    audio->SetPaused(true);
    Send(kMsgSoundOn);
    EXPECT_NEAR(audio->GetMusicChannel().GetVolume(), 0.7f * 0.2f, 1e-6f);
    audio->SetPaused(false);
    EXPECT_NEAR(audio->GetMusicChannel().GetVolume(), 0.7f, 1e-6f);
    EXPECT_GT(Run(0.2f).Rms(0, 1000), kAudible);
}

TEST_F(AudioSystemTest, ListenerTurningMovesALoopFromTheRightEarToTheLeft) {
    Transform* camera = MakeCamera();
    MakeLoopedSound("hum", true, D3DXVECTOR3(10.0f, 0.0f, 0.0f));
    const RenderedMix ahead = Run(0.2f);
    EXPECT_GT(ahead.Rms(1, 1000), 2.0f * ahead.Rms(0, 1000));
    D3DXQUATERNION half;
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    D3DXQuaternionRotationAxis(&half, &up, 3.14159265f);
    camera->SetRotation(half);
    const RenderedMix turned = Run(0.2f);
    EXPECT_GT(turned.Rms(0, 1000), 2.0f * turned.Rms(1, 1000));
}

TEST_F(AudioSystemTest, ListenerVelocityStaysFiniteOnAnEmptyFrame) {
    Transform* camera = MakeCamera();
    camera->SetPosition(5.0f, 0.0f, 0.0f);
    audio->Update(0.0f);
    AudioVector position, velocity;
    audio->Device().Get3DListenerAttributes(&position, &velocity);
    EXPECT_EQ(position.x, 5.0f);
    EXPECT_EQ(velocity.x, 0.0f);
    EXPECT_TRUE(std::isfinite(velocity.y) && std::isfinite(velocity.z));
    camera->SetPosition(6.0f, 0.0f, 0.0f);
    audio->Update(0.5f);
    audio->Device().Get3DListenerAttributes(&position, &velocity);
    EXPECT_FLOAT_EQ(velocity.x, 2.0f);
    std::vector<float> out(200);
    audio->Device().RenderLoopback(out.data(), 100);
    for (float s : out) ASSERT_TRUE(std::isfinite(s));
}

TEST_F(AudioSystemTest, ClearForgetsTheSceneLoopedSounds) {
    MakeLoopedSound("hum", true, D3DXVECTOR3());
    EXPECT_EQ(audio->GetLoopedSounds().Size(), 1u);
    audio->Clear();
    EXPECT_EQ(audio->GetLoopedSounds().Size(), 0u);
}

TEST(AudioSystemFoldersTest, InitLoadsEveryFileOfTheSfxAndBgmFolders) {
    MessageHub hub;
    TestIdCounter counter;
    Graveyard graveyard;
    Overlord overlord;
    Engine engine;
    TempSoundDir dir;
    DevozizuDave folders;
    folders.sfx.baseFolder = folders.bgm.baseFolder = dir.Path() + "/";
    folders.sfx.path = "sfx/";
    folders.sfx.extension = ".wav";
    folders.bgm.path = "bgm/";
    folders.bgm.extension = ".ogg";
    std::filesystem::create_directories(dir.File("sfx"));
    std::filesystem::create_directories(dir.File("bgm"));
    dir.WriteTone("sfx/menu_select.wav", 1, 0.2f, 440.0f, 0.5f);
    dir.WriteTone("sfx/ignored.ogg", 1, 0.2f, 440.0f, 0.5f);
    dir.WriteTone("bgm/Menu_loop.ogg", 2, 0.2f, 440.0f, 0.5f, 0.5f);
    auto* audio = new AudioSystem(AudioDevice::Output::Loopback);
    engine.AddSystem(audio);
    audio->Init();
    SoundEventData data;
    data.name = "menu_select";
    audio->PlaySound(data);
    EXPECT_TRUE(audio->GetEffectsChannel().IsPlaying());
    audio->PlayMusic("Menu_loop", 1.0f);
    EXPECT_TRUE(audio->GetMusicChannel().IsPlaying());
    data.name = "ignored";
    audio->PlaySound(data);
    EXPECT_EQ(audio->Device().ChannelsPlaying(), 2);
    engine.RemoveSystem(audio);
}

TEST(AudioSystemNoDeviceTest, RunsSilentlyWithoutAnOutputDevice) {
    MessageHub hub;
    TestIdCounter counter;
    Graveyard graveyard;
    Overlord overlord;
    Engine engine;
    auto* audio = new AudioSystem(AudioDevice::Output::Default, "no such audio device");
    engine.AddSystem(audio);
    audio->Init();
    EXPECT_TRUE(audio->Device().IsSilent());
    TempSoundDir dir;
    audio->LoadEffect("beep", dir.WriteTone("beep.wav", 1, 0.1f, 440.0f, 0.5f));
    SoundEventData data;
    data.name = "beep";
    audio->PlaySound(data);
    audio->PlayMusic("beep", 1.0f);
    audio->SetPaused(true);
    audio->Update(0.0f);
    audio->StopAll();
    EXPECT_FALSE(audio->GetEffectsChannel().IsPlaying());
    engine.RemoveSystem(audio);
}

}  // namespace
