#include <gtest/gtest.h>

#include "tests/platform/AudioTestWorld.h"

namespace {

using LoopedSoundTest = AudioWorld;

TEST_F(LoopedSoundTest, PositionedSoundStartsAtTheNextDrainAndFollowsItsObject) {
    MakeCamera();
    LoopedSound* hum = MakeLoopedSound("hum", true, D3DXVECTOR3(10.0f, 0.0f, 0.0f));
    EXPECT_TRUE(hum->IsPlaying());
    EXPECT_FALSE(hum->GetChannel());  // the request waits in the queue
    const RenderedMix right = Run(0.3f);
    ASSERT_TRUE(hum->GetChannel().IsPlaying());
    EXPECT_NEAR(hum->GetChannel().GetVolume(), 0.8f, 1e-6f);
    EXPECT_GT(right.Rms(1, 1000), 2.0f * right.Rms(0, 1000));
    // The object moves to the listener's left; the channel goes with it.
    Overlord::Instance()->GetComponent<Transform>(hum->GetOwner())->SetPosition(-10.0f, 0.0f, 0.0f);
    const RenderedMix left = Run(0.2f);
    EXPECT_GT(left.Rms(0, 1000), 2.0f * left.Rms(1, 1000));
    // Playing again while playing asks for nothing more.
    hum->Play();
    EXPECT_EQ(hub->QueuedCount(), 0u);
}

TEST_F(LoopedSoundTest, ChannelIsReusedWhenPlayedAgain) {
    LoopedSound* hum = MakeLoopedSound("hum", true, D3DXVECTOR3());
    Run(0.05f);
    const AudioChannel first = hum->GetChannel();
    hum->ForgetChannel();  // as if stopped by hand but the channel handle kept
    hum->SetChannel(first);
    hum->Play();
    Run(0.05f);
    EXPECT_EQ(hum->GetChannel(), first);
    EXPECT_EQ(audio->Device().ChannelsPlaying(), 1);
}

TEST_F(LoopedSoundTest, WithoutAutoPlayStaysSilentUntilPlay) {
    LoopedSound* hum = MakeLoopedSound("hum", true, D3DXVECTOR3(), false);
    EXPECT_LT(Run(0.1f).Left(), kSilent);
    EXPECT_FALSE(hum->IsPlaying());
    hum->Play();
    EXPECT_GT(Run(0.1f).Left(), kAudible);
}

TEST_F(LoopedSoundTest, NotPositionedPlaysItsTrackAsMusic) {
    LoopedSound* track = MakeLoopedSound("Level", false, D3DXVECTOR3(1000.0f, 0.0f, 0.0f));
    track->SetVolume(0.5f);
    Run(0.1f);
    EXPECT_FALSE(track->GetChannel());
    ASSERT_TRUE(audio->GetMusicChannel().IsPlaying());
    EXPECT_NEAR(audio->GetMusicChannel().GetVolume(), 0.7f, 1e-6f);  // volume 1 when it was asked
}

TEST_F(LoopedSoundTest, RemovingTheObjectStopsItsSound) {
    LoopedSound* hum = MakeLoopedSound("hum", true, D3DXVECTOR3());
    Run(0.1f);
    ASSERT_TRUE(hum->GetChannel().IsPlaying());
    const AudioChannel channel = hum->GetChannel();
    overlord->UnregisterGameObject(hum->GetOwner());
    EXPECT_FALSE(channel.IsPlaying());
    graveyard->Collect(1.0f);
    EXPECT_LT(Run(0.1f).Rms(0, 500), kSilent);
    EXPECT_EQ(audio->GetLoopedSounds().Size(), 0u);  // the dead id dropped out
}

TEST_F(LoopedSoundTest, RequestOfAComponentDeletedInTheSameFrameDoesNothing) {
    LoopedSound* hum = MakeLoopedSound("hum", true, D3DXVECTOR3());
    ASSERT_EQ(hub->QueuedCount(), 1u);
    overlord->UnregisterGameObject(hum->GetOwner());
    graveyard->Collect(1.0f);
    ASSERT_EQ(graveyard->ComponentCount(), 0u);  // deleted before the request is handled
    EXPECT_LT(Run(0.1f).Left(), kSilent);
    EXPECT_EQ(audio->Device().ChannelsPlaying(), 0);
}

TEST_F(LoopedSoundTest, StopBeforeTheRequestIsHandledCancelsIt) {
    LoopedSound* hum = MakeLoopedSound("hum", true, D3DXVECTOR3());
    hum->StopChannel();
    EXPECT_FALSE(hum->IsPlaying());
    EXPECT_LT(Run(0.1f).Left(), kSilent);
    EXPECT_FALSE(hum->GetChannel());
}

TEST_F(LoopedSoundTest, StopChannelStopsAndForgets) {
    LoopedSound* hum = MakeLoopedSound("hum", true, D3DXVECTOR3());
    Run(0.05f);
    const AudioChannel channel = hum->GetChannel();
    hum->StopChannel();
    EXPECT_FALSE(channel.IsPlaying());
    EXPECT_FALSE(hum->GetChannel());
    EXPECT_FALSE(hum->IsPlaying());
    EXPECT_LT(Run(0.1f).Rms(0, 500), kSilent);
}

TEST_F(LoopedSoundTest, StartedWhileSoundIsOffIsHeardOnceSoundIsOn) {
    Send(kMsgSoundOff);
    LoopedSound* hum = MakeLoopedSound("hum", true, D3DXVECTOR3());
    EXPECT_LT(Run(0.1f).Left(), kSilent);
    EXPECT_TRUE(hum->GetChannel().IsPlaying());
    Send(kMsgSoundOn);
    EXPECT_NEAR(hum->GetChannel().GetVolume(), 0.8f, 1e-6f);
    EXPECT_GT(Run(0.1f).Left(), kAudible);
}

TEST_F(LoopedSoundTest, SoundOffSilencesPlayingLoopsToo) {
    LoopedSound* hum = MakeLoopedSound("hum", true, D3DXVECTOR3());
    hum->SetVolume(0.5f);
    Run(0.05f);
    Send(kMsgSoundOff);
    EXPECT_LT(Run(0.1f).Rms(0, 500), kSilent);
    Send(kMsgSoundOn);
    EXPECT_NEAR(hum->GetChannel().GetVolume(), 0.8f * 0.5f, 1e-6f);
}

TEST_F(LoopedSoundTest, CloneCopiesSettingsButNotTheChannel) {
    LoopedSound* hum = MakeLoopedSound("hum", true, D3DXVECTOR3());
    hum->SetVolume(0.25f);
    Run(0.05f);
    std::unique_ptr<IComponent> copy(hum->Clone());
    auto* clone = static_cast<LoopedSound*>(copy.get());
    EXPECT_NE(clone->GetId(), hum->GetId());
    EXPECT_EQ(clone->GetFilename(), "hum");
    EXPECT_EQ(clone->GetVolume(), 0.25f);
    EXPECT_TRUE(clone->IsPositioned());
    EXPECT_TRUE(clone->IsAutoPlay());
    EXPECT_FALSE(clone->GetChannel());
    EXPECT_FALSE(clone->IsPlaying());
    EXPECT_EQ(clone->GetOwner(), 0u);
}

}  // namespace
