#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "port/audio/AudioDevice.h"
#include "port/audio/SoundFile.h"
#include "tests/port/AudioTestSounds.h"

namespace {

constexpr int kRate = 44100;
constexpr int kFrames = 8192;

// Interleaved tones, a different one per channel so swapped channels show,
// with a slow vibrato so samples do not repeat period after period.
std::vector<double> Tone(int channels, double amplitude) {
    std::vector<double> data;
    for (int i = 0; i < kFrames; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double vibrato = 0.5 * std::sin(2.0 * std::numbers::pi * 3.0 * t);
        for (int c = 0; c < channels; ++c)
            data.push_back(amplitude * std::sin(2.0 * std::numbers::pi * (440.0 + 560.0 * c) * t + 0.3 * c + vibrato));
    }
    return data;
}

bool WriteWithLibrary(const std::string& path, int format, int channels, const std::vector<double>& data) {
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = kRate;
    info.format = format;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!f) return false;
    const sf_count_t frames = static_cast<sf_count_t>(data.size()) / channels;
    const bool ok = sf_writef_double(f, data.data(), frames) == frames;
    sf_close(f);
    return ok;
}

// The whole file as the library itself decodes it to T (short, int or double).
template <typename T>
std::vector<T> LibraryDecode(const std::string& path, sf_count_t (*read)(SNDFILE*, T*, sf_count_t)) {
    SF_INFO info{};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    if (!f) return {};
    std::vector<T> data(static_cast<std::size_t>(info.frames * info.channels));
    data.resize(static_cast<std::size_t>(read(f, data.data(), info.frames) * info.channels));
    sf_close(f);
    return data;
}

// Reads in chunks that do not divide the file, as the music stream does.
std::vector<std::int16_t> ReadAll(SoundFile& file, int outChannels) {
    constexpr std::size_t kChunk = 1000;
    std::vector<std::int16_t> all, chunk(kChunk * static_cast<std::size_t>(outChannels));
    while (std::size_t n = file.Read(chunk.data(), kChunk, outChannels))
        all.insert(all.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(n) * outChannels);
    return all;
}

// What each format must read back as: the library's own 16-bit decode (formats
// that decode to at most 16 bits), the library's 32-bit decode rounded to 16
// bits, or the written signal itself (float data).
enum class Expect { LibraryShort, LibraryIntRounded, Signal };

struct FormatCase {
    const char* file;
    int format;
    Expect expect;
};

// Largest |read - expected| and where, so one line reports a whole file.
struct Worst {
    double error = 0.0;
    std::size_t at = 0;
};
Worst WorstError(const std::vector<std::int16_t>& read, const std::vector<double>& expected) {
    Worst worst;
    for (std::size_t i = 0; i < read.size() && i < expected.size(); ++i)
        if (std::abs(read[i] - expected[i]) > worst.error) worst = {std::abs(read[i] - expected[i]), i};
    return worst;
}

std::vector<double> Expected(const FormatCase& c, const std::string& path, const std::vector<double>& signal) {
    std::vector<double> out;
    if (c.expect == Expect::LibraryShort) {
        for (short s : LibraryDecode<short>(path, sf_readf_short)) out.push_back(s);
    } else if (c.expect == Expect::LibraryIntRounded) {
        for (int s : LibraryDecode<int>(path, sf_readf_int))
            out.push_back(std::clamp(std::nearbyint(s / 65536.0), -32768.0, 32767.0));
    } else {
        for (double s : signal) out.push_back(s * 32768.0);
    }
    return out;
}

TEST(SoundFileTest, EveryFormatReadsBackAtFullScaleAndMixesToMono) {
    const FormatCase cases[] = {
        {"u8.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, Expect::LibraryShort},
        {"s16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, Expect::LibraryShort},
        {"s24.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, Expect::LibraryIntRounded},
        {"s32.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_32, Expect::LibraryIntRounded},
        {"ulaw.wav", SF_FORMAT_WAV | SF_FORMAT_ULAW, Expect::LibraryShort},
        {"alaw.wav", SF_FORMAT_WAV | SF_FORMAT_ALAW, Expect::LibraryShort},
        {"ima.wav", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, Expect::LibraryShort},
        {"ms.wav", SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM, Expect::LibraryShort},
        {"s16.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, Expect::LibraryShort},
        {"s24.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, Expect::LibraryIntRounded},
        {"f32.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, Expect::Signal},
        {"f64.wav", SF_FORMAT_WAV | SF_FORMAT_DOUBLE, Expect::Signal},
    };
    TempSoundDir dir;
    const std::vector<double> signal = Tone(2, 0.9);
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = dir.File(c.file);
        ASSERT_TRUE(WriteWithLibrary(path, c.format, 2, signal));
        const std::vector<double> expected = Expected(c, path, signal);
        ASSERT_GE(expected.size(), signal.size());
        const double tolerance = c.expect == Expect::Signal ? 1.0 : 0.0;

        SoundFile file;
        ASSERT_TRUE(file.Open(path));
        const std::vector<std::int16_t> stereo = ReadAll(file, 2);
        ASSERT_EQ(stereo.size(), expected.size());
        const Worst worst = WorstError(stereo, expected);
        EXPECT_LE(worst.error, tolerance) << "sample " << worst.at << " reads " << stereo[worst.at];

        ASSERT_TRUE(file.Rewind());
        const std::vector<std::int16_t> mono = ReadAll(file, 1);
        std::vector<double> mixed;
        for (std::size_t i = 0; i + 1 < expected.size(); i += 2) mixed.push_back((expected[i] + expected[i + 1]) / 2);
        ASSERT_EQ(mono.size(), mixed.size());
        const Worst worstMono = WorstError(mono, mixed);
        EXPECT_LE(worstMono.error, 1.0) << "mono frame " << worstMono.at << " reads " << mono[worstMono.at];
    }
}

TEST(SoundFileTest, FloatSamplesBeyondFullScaleClipAndNanIsSilent) {
    TempSoundDir dir;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<double> samples = {1.0, -1.0, 1.5, -1.5, nan, 0.25, -100.6 / 32768};
    const std::vector<std::int16_t> expected = {32767, -32768, 32767, -32768, 0, 8192, -101};
    const std::string path = dir.File("loud.wav");
    ASSERT_TRUE(WriteWithLibrary(path, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, samples));
    SoundFile file;
    ASSERT_TRUE(file.Open(path));
    EXPECT_EQ(ReadAll(file, 1), expected);
}

TEST(SoundFileTest, LoudVorbisOvershootClipsInsteadOfWrapping) {
    TempSoundDir dir;
    const std::vector<double> tone = Tone(1, 0.99);
    const std::string path = dir.File("loud.ogg");
    ASSERT_TRUE(WriteWithLibrary(path, SF_FORMAT_OGG | SF_FORMAT_VORBIS, 1, tone));
    const std::vector<double> decoded = LibraryDecode<double>(path, sf_readf_double);
    SoundFile file;
    ASSERT_TRUE(file.Open(path));
    const std::vector<std::int16_t> stereo = ReadAll(file, 2);
    ASSERT_EQ(stereo.size(), decoded.size() * 2);
    ASSERT_GE(decoded.size(), tone.size());

    int overshoots = 0;
    for (std::size_t i = 0; i < tone.size(); ++i) {
        const int left = stereo[i * 2];
        ASSERT_EQ(left, stereo[i * 2 + 1]) << "mono file reads the same on both sides, frame " << i;
        if (std::abs(tone[i]) > 0.5) {
            ASSERT_EQ(left < 0, tone[i] < 0) << "sign flipped at " << i;
        }
        if (std::abs(decoded[i]) > 1.0) {
            ++overshoots;
            EXPECT_EQ(left, decoded[i] > 0 ? 32767 : -32768) << i;
        }
    }
    EXPECT_GT(overshoots, 0) << "the encoder no longer overshoots; the tone no longer tests clipping";
}

// A music file with a few flipped header bits is refused, as an effect and
// as music, with its name and the library's reason. The library loses its
// Vorbis setup on that road; the sanitizer build's leak check passes anyway.
TEST(SoundFileTest, OggWithCorruptHeadersIsRefusedWithItsName) {
    TempSoundDir dir;
    std::ifstream in(dir.WriteTone("good.ogg", 2, 0.5f, 330.0f, 0.5f, 0.5f), std::ios::binary);
    const std::string good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The identification header's page, then the page of the comment and
    // setup headers, then the audio.
    const std::size_t second = good.find("OggS", 4);
    const std::size_t comment = good.find("\x03vorbis");
    const std::size_t setup = good.find("\x05vorbis");
    const std::size_t third = good.find("OggS", second + 4);
    ASSERT_LT(setup, third);
    const struct {
        const char* name;
        std::size_t at;
    } flips[] = {
        {"first page's checksum", 22},
        {"second page's checksum", second + 22},
        {"comment header's type", comment},
        {"setup header's name", setup + 3},
        {"setup codebooks", (setup + third) / 2},
    };
    AudioDevice device;
    ASSERT_TRUE(device.Init(4, AudioDevice::Output::Loopback)) << device.ErrorText();
    for (const auto& flip : flips) {
        SCOPED_TRACE(flip.name);
        std::string bytes = good;
        bytes[flip.at] = static_cast<char>(bytes[flip.at] ^ 0x10);
        const std::string path = dir.File(std::string(flip.name) + ".ogg");
        std::ofstream(path, std::ios::binary) << bytes;
        SoundFile file;
        std::string why;
        EXPECT_FALSE(file.Open(path, &why));
        EXPECT_NE(why.find(path + ": not a sound file"), std::string::npos) << why;
        why.clear();
        EXPECT_FALSE(device.CreateStream(path, true, &why));
        EXPECT_NE(why.find(path), std::string::npos) << why;
    }
}

}  // namespace
