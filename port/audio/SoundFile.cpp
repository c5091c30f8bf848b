#include "port/audio/SoundFile.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>

#include "port/os/WholeFile.h"

namespace {

// Every format is read as double (-1..1 full scale) and turned into 16-bit
// samples here, so integer files come back bit-exact (double holds any 32-bit
// sample exactly) and lossy decoders' overshoot past full scale is clipped
// instead of wrapping. NaN in a broken float file reads as silence.
std::int16_t ToSample(double x) {
    if (std::isnan(x)) return 0;
    return static_cast<std::int16_t>(std::clamp(std::nearbyint(x * 32768.0), -32768.0, 32767.0));
}

}  // namespace

SoundFile::~SoundFile() {
    Close();
}

bool SoundFile::Open(const std::string& path, std::string* why) {
    Close();
    FileRead result = FileRead::Ok;
    int errorNumber = 0;
    // A FIFO or a device named like a sound would block or never end.
    const int fd = OpenRegularFile(path, 0, &result, &errorNumber);
    if (fd < 0) {
        if (why) *why = FileReadErrorText(result, path, 0, errorNumber);
        return false;
    }
    SF_INFO info{};
    SNDFILE* f = sf_open_fd(fd, SFM_READ, &info, SF_TRUE);
    if (!f) {
        if (why) *why = path + ": not a sound file that can be read (" + sf_strerror(nullptr) + ")";
        return false;
    }
    if (info.channels <= 0 || info.samplerate <= 0) {
        if (why) *why = path + ": no channels or no sample rate";
        sf_close(f);
        return false;
    }
    // Integer data normalised to -1..1 (the library's default, relied on by ToSample).
    sf_command(f, SFC_SET_NORM_DOUBLE, nullptr, SF_TRUE);
    file_ = f;
    channels_ = info.channels;
    sampleRate_ = info.samplerate;
    frames_ = info.frames;
    return true;
}

void SoundFile::Close() {
    if (file_) sf_close(static_cast<SNDFILE*>(file_));
    file_ = nullptr;
    channels_ = sampleRate_ = 0;
    frames_ = 0;
}

std::size_t SoundFile::Read(std::int16_t* out, std::size_t maxFrames, int outChannels) {
    if (!file_ || maxFrames == 0) return 0;
    const auto channels = static_cast<std::size_t>(channels_);
    scratch_.resize(maxFrames * channels);
    const sf_count_t read =
        sf_readf_double(static_cast<SNDFILE*>(file_), scratch_.data(), static_cast<sf_count_t>(maxFrames));
    const std::size_t got = read > 0 ? static_cast<std::size_t>(read) : 0;
    if (outChannels == channels_) {
        std::transform(scratch_.begin(), scratch_.begin() + static_cast<std::ptrdiff_t>(got * channels), out, ToSample);
        return got;
    }
    for (std::size_t i = 0; i < got; ++i) {
        const double* in = &scratch_[i * channels];
        if (outChannels == 1) {
            double sum = 0.0;
            for (std::size_t c = 0; c < channels; ++c) sum += in[c];
            out[i] = ToSample(sum / static_cast<double>(channels));
        } else {
            out[i * 2] = ToSample(in[0]);
            out[i * 2 + 1] = ToSample(channels == 1 ? in[0] : in[1]);
        }
    }
    return got;
}

bool SoundFile::Rewind() {
    return file_ && sf_seek(static_cast<SNDFILE*>(file_), 0, SEEK_SET) == 0;
}

bool SoundFile::Write(const std::string& path, int channels, int sampleRate, const std::vector<float>& interleaved) {
    if (channels <= 0 || sampleRate <= 0) return false;
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = sampleRate;
    const auto dot = path.find_last_of('.');
    const std::string ext = dot == std::string::npos ? std::string() : path.substr(dot);
    if (ext == ".ogg")
        info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    else if (ext == ".flac")
        info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    else
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!f) return false;
    const sf_count_t frames = static_cast<sf_count_t>(interleaved.size()) / channels;
    const sf_count_t written = sf_writef_float(f, interleaved.data(), frames);
    sf_close(f);
    return written == frames;
}
