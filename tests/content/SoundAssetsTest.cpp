// The committed sound effects and music: every name the levels and screens
// use exists in the game's formats, peaks stay at or below -1 dBFS, nothing
// is silent, the menu sounds are short and the loops join without a click.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/content/SoundChecks.h"

namespace {

namespace fs = std::filesystem;

const char* const kMenuSounds[] = {"menu_confirm", "menu_select"};
const char* const kLoops[] = {"sfx/shield_hum.wav", "bgm/Menu_loop.ogg", "bgm/Tutorial_loop.ogg", "bgm/Gold_loop.ogg",
                              "bgm/Forward_loop.ogg"};

std::string Asset(const std::string& relative) {
    return std::string(std::getenv("DD_ASSET_DIR")) + "/" + relative;
}
std::string Effect(const std::string& name) {
    return Asset("sfx/" + name + ".wav");
}
std::string Track(const std::string& name) {
    return Asset("bgm/" + name + ".ogg");
}

std::vector<std::string> AllFiles() {
    std::vector<std::string> files;
    for (const char* name : kEffectNames) files.push_back(Effect(name));
    for (const char* name : kTrackNames) files.push_back(Track(name));
    return files;
}

class EffectFileTest : public ::testing::TestWithParam<const char*> {};
class TrackFileTest : public ::testing::TestWithParam<const char*> {};
class SoundLevelTest : public ::testing::TestWithParam<std::string> {};
class LoopJoinTest : public ::testing::TestWithParam<const char*> {};
class MenuSoundTest : public ::testing::TestWithParam<const char*> {};

TEST_P(EffectFileTest, IsMono16BitPcmAt44100Hz) {
    const StoredFormat format = ReadStoredFormat(Effect(GetParam()));
    ASSERT_TRUE(format.valid) << Effect(GetParam()) << " is missing or no WAV file";
    EXPECT_EQ(format.codec, "pcm");
    EXPECT_EQ(format.channels, 1);
    EXPECT_EQ(format.sampleRate, 44100);
    EXPECT_EQ(format.bits, 16);
}

TEST_P(TrackFileTest, IsStereoVorbisAt44100HzLastingTwentyToSixtySeconds) {
    const StoredFormat format = ReadStoredFormat(Track(GetParam()));
    ASSERT_TRUE(format.valid) << Track(GetParam()) << " is missing or no Ogg Vorbis file";
    EXPECT_EQ(format.codec, "vorbis");
    EXPECT_EQ(format.channels, 2);
    EXPECT_EQ(format.sampleRate, 44100);
    const Decoded decoded = DecodeFile(Track(GetParam()));
    ASSERT_TRUE(decoded.ok);
    const double seconds = static_cast<double>(decoded.Frames()) / 44100.0;
    EXPECT_GE(seconds, 20.0);
    EXPECT_LE(seconds, 60.0);
}

TEST_P(SoundLevelTest, PeaksAtMostMinusOneDbfsAndIsNotSilent) {
    const Decoded decoded = DecodeFile(GetParam());
    ASSERT_TRUE(decoded.ok) << GetParam();
    EXPECT_LE(PeakDb(decoded), -1.0);
    EXPECT_GE(PeakDb(decoded), -12.0) << "far too quiet next to the other sounds";
    EXPECT_GE(RmsDb(decoded), -40.0);
}

TEST_P(MenuSoundTest, LastsUnderHalfASecond) {
    const Decoded decoded = DecodeFile(Effect(GetParam()));
    ASSERT_TRUE(decoded.ok);
    EXPECT_LT(decoded.Frames(), 22050u);
}

TEST_P(LoopJoinTest, LastSampleLeadsIntoFirstWithoutAClick) {
    const Decoded decoded = DecodeFile(Asset(GetParam()));
    ASSERT_TRUE(decoded.ok);
    for (int channel = 0; channel < decoded.channels; ++channel)
        EXPECT_LE(JoinStepRatio(decoded, channel), 1.0) << "channel " << channel;
}

INSTANTIATE_TEST_SUITE_P(Effects, EffectFileTest, ::testing::ValuesIn(kEffectNames));
INSTANTIATE_TEST_SUITE_P(Tracks, TrackFileTest, ::testing::ValuesIn(kTrackNames));
INSTANTIATE_TEST_SUITE_P(All, SoundLevelTest, ::testing::ValuesIn(AllFiles()),
                         [](const auto& info) { return fs::path(info.param).stem().string(); });
INSTANTIATE_TEST_SUITE_P(Menu, MenuSoundTest, ::testing::ValuesIn(kMenuSounds));
INSTANTIATE_TEST_SUITE_P(Loops, LoopJoinTest, ::testing::ValuesIn(kLoops),
                         [](const auto& info) { return fs::path(info.param).stem().string(); });

// The join measure itself: a sine cut a quarter cycle short jumps by its
// whole amplitude where it wraps; cut at a whole cycle it does not.
TEST(LoopJoinMeasureTest, SineCutMidCycleClicksAndWholeCyclesDoNot) {
    auto sine = [](double cycles) {
        Decoded d;
        d.ok = true;
        d.channels = 1;
        const int frames = 44100;
        for (int i = 0; i < frames; ++i)
            d.samples.push_back(
                static_cast<std::int16_t>(std::lround(20000.0 * std::sin(2.0 * M_PI * cycles * i / frames))));
        return d;
    };
    EXPECT_GT(JoinStepRatio(sine(440.25), 0), 3.0);
    EXPECT_LE(JoinStepRatio(sine(440.0), 0), 1.0);
}

TEST(SoundBudgetTest, CommittedAudioStaysUnderTwelveMegabytes) {
    std::uintmax_t total = 0;
    for (const std::string& file : AllFiles())
        if (fs::exists(file)) total += fs::file_size(file);
    EXPECT_LT(total, 12u * 1024u * 1024u);
}

}  // namespace
