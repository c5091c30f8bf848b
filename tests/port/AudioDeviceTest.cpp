#include <gtest/gtest.h>

#include <fstream>

#include "port/audio/AudioDevice.h"
#include "port/audio/SoundFile.h"
#include "tests/port/AudioTestSounds.h"

namespace {

constexpr float kAudible = 0.05f;
constexpr float kSilent = 0.002f;

class AudioDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(dir.Path().empty());
        ASSERT_TRUE(device.Init(32, AudioDevice::Output::Loopback)) << device.ErrorText();
        device.Set3DSettings(0.4f, 100.0f, 1.0f);
    }

    AudioSound Effect(const std::string& name, float seconds, bool loop = true) {
        return device.CreateSound(dir.WriteTone(name + ".wav", 1, seconds, 440.0f, 0.5f), loop, true);
    }

    TempSoundDir dir;
    AudioDevice device;
};

TEST_F(AudioDeviceTest, OneShotPlaysThenEndsAndFreesItsChannel) {
    const AudioSound beep = Effect("beep", 0.15f, false);
    ASSERT_TRUE(beep);
    const AudioChannel ch = device.PlaySound(beep, false);
    ASSERT_TRUE(ch);
    EXPECT_TRUE(ch.IsPlaying());
    EXPECT_GT(RenderFor(device, 0.1f).Left(), kAudible);
    const RenderedMix after = RenderFor(device, 0.2f);
    EXPECT_LT(after.Rms(0, AudioDevice::kLoopbackRate / 10), kSilent);
    EXPECT_FALSE(ch.IsPlaying());
    EXPECT_EQ(device.ChannelsPlaying(), 0);
}

TEST_F(AudioDeviceTest, StopSilencesALoopAtOnceAndPauseHoldsIt) {
    const AudioChannel ch = device.PlaySound(Effect("hum", 0.1f), false);
    EXPECT_GT(RenderFor(device, 0.3f).Left(), kAudible);  // loops past its 0.1 s
    ch.SetPaused(true);
    EXPECT_LT(RenderFor(device, 0.1f).Rms(0, 200), kSilent);
    EXPECT_TRUE(ch.IsPlaying());
    ch.SetPaused(false);
    EXPECT_GT(RenderFor(device, 0.1f).Left(), kAudible);
    ch.Stop();
    EXPECT_FALSE(ch.IsPlaying());
    EXPECT_LT(RenderFor(device, 0.1f).Rms(0, 200), kSilent);
}

TEST_F(AudioDeviceTest, PositionedLoopMovesFromRightEarToLeftAsListenerTurns) {
    const AudioChannel ch = device.PlaySound(Effect("hum", 0.2f), false);
    ch.Set3DAttributes({10.0f, 0.0f, 0.0f}, {});
    const AudioVector up{0.0f, 1.0f, 0.0f};
    const AudioVector ahead{0.0f, 0.0f, 1.0f};
    device.Set3DListenerAttributes(nullptr, nullptr, &ahead, &up);
    const RenderedMix facingForward = RenderFor(device, 0.2f);
    EXPECT_GT(facingForward.Right(), 2.0f * facingForward.Left());

    const AudioVector behind{0.0f, 0.0f, -1.0f};
    device.Set3DListenerAttributes(nullptr, nullptr, &behind, &up);
    const RenderedMix turned = RenderFor(device, 0.2f);
    EXPECT_GT(turned.Rms(0, 500), 2.0f * turned.Rms(1, 500));
}

TEST_F(AudioDeviceTest, DistanceBeyondFactorAttenuatesInversely) {
    const AudioSound hum = Effect("hum", 0.2f);
    const AudioChannel ch = device.PlaySound(hum, false);
    ch.Set3DAttributes({0.0f, 0.0f, 100.0f}, {});
    const float near = RenderFor(device, 0.2f).Rms(0, 500);
    ch.Set3DAttributes({0.0f, 0.0f, 1000.0f}, {});
    const float far = RenderFor(device, 0.2f).Rms(0, 500);
    ASSERT_GT(near, kAudible);
    EXPECT_NEAR(far / near, 0.1f, 0.03f);
}

TEST_F(AudioDeviceTest, StaleHandleOfFinishedSoundLeavesSlotsNewOwnerAlone) {
    const AudioChannel old = device.PlaySound(Effect("beep", 0.05f, false), false);
    RenderFor(device, 0.15f);
    ASSERT_FALSE(old.IsPlaying());
    // The freed slot is handed out again; the old handle must not reach it.
    const AudioChannel fresh = device.PlaySound(Effect("hum", 0.2f), false);
    EXPECT_EQ(fresh.Slot(), old.Slot());
    old.Stop();
    old.SetVolume(0.0f);
    old.SetPaused(true);
    EXPECT_FALSE(old.IsPlaying());
    EXPECT_FALSE(old.GetCurrentSound());
    EXPECT_TRUE(fresh.IsPlaying());
    EXPECT_GT(RenderFor(device, 0.1f).Left(), kAudible);
}

TEST(AudioDeviceHandleTest, HandleOutlivesItsDevice) {
    TempSoundDir dir;
    AudioChannel ch;
    {
        AudioDevice other;
        ASSERT_TRUE(other.Init(4, AudioDevice::Output::Loopback));
        ch = other.PlaySound(other.CreateSound(dir.WriteTone("a.wav", 1, 0.1f, 440.0f, 0.5f), true, true), false);
        ASSERT_TRUE(ch.IsPlaying());
    }
    EXPECT_EQ(AudioDevice::Current(), nullptr);
    ch.Stop();
    EXPECT_FALSE(ch.IsPlaying());
}

TEST_F(AudioDeviceTest, ReuseReplacesTheSoundAndKeepsTheHandle) {
    const AudioSound a = Effect("a", 0.2f);
    const AudioSound b = Effect("b", 0.2f);
    const AudioChannel ch = device.PlaySound(a, false);
    const AudioChannel again = device.PlaySound(b, false, ch);
    EXPECT_EQ(again, ch);
    EXPECT_EQ(ch.GetCurrentSound(), b);
    EXPECT_EQ(device.ChannelsPlaying(), 1);
}

TEST(AudioDeviceHandleTest, NoFreeChannelTakesTheLeastImportant) {
    TempSoundDir dir;
    AudioDevice small;
    ASSERT_TRUE(small.Init(2, AudioDevice::Output::Loopback));
    const AudioSound hum = small.CreateSound(dir.WriteTone("hum.wav", 1, 0.2f, 440.0f, 0.5f), true, true);
    const AudioChannel important = small.PlaySound(hum, false);
    important.SetPriority(0);
    const AudioChannel ordinary = small.PlaySound(hum, false);
    const AudioChannel newest = small.PlaySound(hum, false);
    EXPECT_TRUE(important.IsPlaying());
    EXPECT_FALSE(ordinary.IsPlaying());
    EXPECT_TRUE(newest.IsPlaying());
}

class AudioDeviceGroupTest : public AudioDeviceTest {
protected:
    void SetUp() override {
        AudioDeviceTest::SetUp();
        bgm = device.CreateSoundGroup("BGM");
        device.SetMaxAudible(bgm, 1);
        device.SetMuteFadeSpeed(bgm, 2.0f);
    }
    // Music tracks: first on the left speaker only, second on the right only.
    AudioSound Track(const std::string& file, bool left) {
        const AudioSound s =
            device.CreateStream(dir.WriteTone(file, 2, 0.5f, 330.0f, left ? 0.5f : 0.0f, left ? 0.0f : 0.5f), true);
        device.SetSoundGroup(s, bgm);
        return s;
    }
    AudioChannel Start(AudioSound s) {
        const AudioChannel ch = device.PlaySound(s, true);
        ch.SetPriority(128);
        ch.SetPaused(false);
        return ch;
    }
    AudioSoundGroup bgm;
};

TEST_F(AudioDeviceGroupTest, StreamLoopsAndKeepsPlayingBeyondItsLength) {
    const AudioChannel first = Start(Track("first.ogg", true));
    const RenderedMix mix = RenderFor(device, 1.2f);
    EXPECT_GT(mix.Rms(0, AudioDevice::kLoopbackRate), kAudible);  // last 0.2 s
    EXPECT_LT(mix.Right(), kSilent);
    EXPECT_TRUE(first.IsPlaying());
}

TEST_F(AudioDeviceGroupTest, SecondStreamFadesTheFirstOutWithinTheFadeTime) {
    const AudioChannel first = Start(Track("first.ogg", true));
    const float full = RenderFor(device, 0.3f).Rms(0, 500);
    ASSERT_GT(full, kAudible);

    first.SetPriority(256);
    const AudioChannel second = Start(Track("second.flac", false));
    const RenderedMix halfway = RenderFor(device, 1.0f);
    const float fading = halfway.Rms(0, AudioDevice::kLoopbackRate * 9 / 10);
    EXPECT_LT(fading, full * 0.75f);
    EXPECT_GT(fading, full * 0.25f);
    EXPECT_GT(halfway.Right(), kAudible);

    const RenderedMix end = RenderFor(device, 1.1f);
    EXPECT_LT(end.Rms(0, AudioDevice::kLoopbackRate), kSilent);
    EXPECT_GT(end.Right(), kAudible);
    // A faded-out track is stopped: it never comes back when the new one stops.
    EXPECT_FALSE(first.IsPlaying());
    second.Stop();
    EXPECT_LT(RenderFor(device, 0.3f).Rms(0, 500), kSilent);
}

TEST_F(AudioDeviceGroupTest, StopGroupSilencesEveryStream) {
    const AudioChannel first = Start(Track("first.wav", true));
    first.SetPriority(256);
    Start(Track("second.wav", false));
    RenderFor(device, 0.2f);
    device.StopGroup(bgm);
    EXPECT_EQ(device.ChannelsPlaying(), 0);
    const RenderedMix mix = RenderFor(device, 0.2f);
    EXPECT_LT(mix.Rms(0, 200), kSilent);
    EXPECT_LT(mix.Rms(1, 200), kSilent);
}

// A frame longer than the queued music (a level's first frame, a window
// held still) lets the stream run dry; the next update starts it again.
TEST_F(AudioDeviceGroupTest, StreamThatRanDryDuringALongFrameResumes) {
    const AudioChannel track = Start(Track("track.ogg", true));
    RenderFor(device, 0.2f);
    const RenderedMix longFrame = RenderFor(device, 6.0f, 6.0f);
    EXPECT_LT(longFrame.Rms(0, AudioDevice::kLoopbackRate * 58 / 10), kSilent);
    const RenderedMix after = RenderFor(device, 1.0f);
    EXPECT_GT(after.Rms(0, AudioDevice::kLoopbackRate / 10), kAudible);
    EXPECT_TRUE(track.IsPlaying());
}

// Whether the stream plays on a voice that last looped an effect.
class AudioDeviceStreamTest : public ::testing::TestWithParam<bool> {};

// The mix holds every sample of a stream's file once, in order, over chunk
// joins and the loop's end, while the decoder thread runs ahead, on any
// voice: a stream's queue is never looped.
TEST_P(AudioDeviceStreamTest, StreamIsHeardSampleForSampleAcrossChunksAndLoops) {
    TempSoundDir dir;
    AudioDevice device;
    ASSERT_TRUE(device.Init(8, AudioDevice::Output::Loopback)) << device.ErrorText();
    if (GetParam()) {
        const AudioChannel hum =
            device.PlaySound(device.CreateSound(dir.WriteTone("hum.wav", 1, 0.1f, 330.0f, 0.5f), true, true), false);
        RenderFor(device, 0.05f);
        hum.Stop();
    }
    // At the mix's own rate, so no resampling: 1.3 s, three chunks and a bit.
    const int frames = AudioDevice::kLoopbackRate * 13 / 10;
    std::vector<float> samples;
    for (int i = 0; i < frames; ++i) {
        samples.push_back(static_cast<float>((i * 37) % 2001 - 1000) / 2048.0f);
        samples.push_back(static_cast<float>((i * 53) % 1501 - 750) / 2048.0f);
    }
    const std::string path = dir.File("pattern.wav");
    ASSERT_TRUE(SoundFile::Write(path, 2, AudioDevice::kLoopbackRate, samples));
    const AudioChannel ch = device.PlaySound(device.CreateStream(path, true), false);
    ASSERT_TRUE(ch);
    // Frames of uneven length, as a real frame loop has them.
    RenderedMix mix = RenderFor(device, 1.0f, 0.013f);
    for (const float step : {0.05f, 0.021f, 0.2f}) {
        const RenderedMix more = RenderFor(device, 1.0f, step);
        mix.samples.insert(mix.samples.end(), more.samples.begin(), more.samples.end());
    }
    std::size_t differing = 0;
    for (std::size_t i = 0; i < mix.samples.size(); ++i)
        if (std::abs(mix.samples[i] - samples[i % samples.size()]) > 1e-4f) ++differing;
    EXPECT_EQ(differing, 0u) << "of " << mix.samples.size();
}
INSTANTIATE_TEST_SUITE_P(FreshOrUsedVoice, AudioDeviceStreamTest, ::testing::Bool());

TEST_F(AudioDeviceTest, NonFiniteListenerValuesNeverReachTheMixer) {
    const AudioChannel ch = device.PlaySound(Effect("hum", 0.2f), false);
    ch.Set3DAttributes({5.0f, 0.0f, 5.0f}, {1.0f, 0.0f, 0.0f});
    const float inf = std::numeric_limits<float>::infinity();
    const AudioVector position{1.0f, 2.0f, 3.0f};
    device.Set3DListenerAttributes(&position, nullptr, nullptr, nullptr);
    const AudioVector badPosition{inf, 0.0f, 0.0f};
    const AudioVector badVelocity{std::nanf(""), inf, 0.0f};
    device.Set3DListenerAttributes(&badPosition, &badVelocity, nullptr, nullptr);
    ch.Set3DAttributes({5.0f, 0.0f, 5.0f}, badVelocity);
    AudioVector p, v;
    device.Get3DListenerAttributes(&p, &v);
    EXPECT_EQ(p.x, 1.0f);
    EXPECT_EQ(v.x, 0.0f);
    EXPECT_EQ(v.y, 0.0f);
    const RenderedMix mix = RenderFor(device, 0.1f);
    EXPECT_TRUE(mix.AllFinite());
    EXPECT_GT(mix.Left() + mix.Right(), kAudible);
}

TEST(AudioDeviceNoOutputTest, MissingDeviceStaysSilentAndHarmless) {
    TempSoundDir dir;
    AudioDevice device;
    EXPECT_FALSE(device.Init(16, AudioDevice::Output::Default, "no such audio device"));
    EXPECT_TRUE(device.IsSilent());
    EXPECT_FALSE(device.ErrorText().empty());
    const AudioSound s = device.CreateSound(dir.WriteTone("a.wav", 1, 0.1f, 440.0f, 0.5f), true, true);
    EXPECT_FALSE(s);
    const AudioSoundGroup g = device.CreateSoundGroup("BGM");
    device.SetMaxAudible(g, 1);
    const AudioChannel ch = device.PlaySound(s, false);
    EXPECT_FALSE(ch.IsPlaying());
    ch.Stop();
    device.Set3DSettings(0.4f, 100.0f, 1.0f);
    device.Update();
    std::vector<float> out(64, 1.0f);
    device.RenderLoopback(out.data(), 32);
    EXPECT_EQ(out[0], 0.0f);
}

TEST(SoundFileTest, ReadsWavOggAndFlacMixedToTheAskedChannels) {
    TempSoundDir dir;
    for (const char* name : {"t.wav", "t.ogg", "t.flac"}) {
        const std::string path = dir.WriteTone(name, 2, 0.25f, 440.0f, 0.5f, 0.25f);
        SoundFile f;
        ASSERT_TRUE(f.Open(path)) << name;
        EXPECT_EQ(f.Channels(), 2);
        EXPECT_EQ(f.SampleRate(), 44100);
        std::vector<std::int16_t> mono(20000);
        std::size_t total = 0;
        while (std::size_t n = f.Read(mono.data(), mono.size(), 1)) total += n;
        EXPECT_NEAR(static_cast<double>(total), 0.25 * 44100, 64) << name;
        ASSERT_TRUE(f.Rewind());
        std::vector<std::int16_t> stereo(2000);
        ASSERT_EQ(f.Read(stereo.data(), 1000, 2), 1000u);
        int peakL = 0, peakR = 0;
        for (std::size_t i = 0; i < 1000; ++i) {
            peakL = std::max(peakL, std::abs(static_cast<int>(stereo[i * 2])));
            peakR = std::max(peakR, std::abs(static_cast<int>(stereo[i * 2 + 1])));
        }
        EXPECT_NEAR(peakL, 16384, 1500) << name;
        EXPECT_NEAR(peakR, 8192, 1500) << name;
    }
}

TEST(SoundFileTest, MissingOrBrokenFileIsRefused) {
    TempSoundDir dir;
    SoundFile f;
    EXPECT_FALSE(f.Open(dir.File("missing.wav")));
    std::ofstream(dir.File("broken.ogg")) << "OggS but not really a sound";
    EXPECT_FALSE(f.Open(dir.File("broken.ogg")));
    AudioDevice device;
    ASSERT_TRUE(device.Init(4, AudioDevice::Output::Loopback));
    EXPECT_FALSE(device.CreateSound(dir.File("broken.ogg"), true, true));
    EXPECT_FALSE(device.CreateStream(dir.File("missing.ogg"), true));
}

}  // namespace
