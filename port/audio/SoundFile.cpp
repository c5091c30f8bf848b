#include "port/audio/SoundFile.h"

#include <sndfile.h>

#include <algorithm>

SoundFile::~SoundFile() {
    Close();
}

bool SoundFile::Open(const std::string& path) {
    Close();
    SF_INFO info{};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    if (!f) return false;
    if (info.channels <= 0 || info.samplerate <= 0) {
        sf_close(f);
        return false;
    }
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
    SNDFILE* f = static_cast<SNDFILE*>(file_);
    if (outChannels == channels_) {
        return static_cast<std::size_t>(sf_readf_short(f, out, static_cast<sf_count_t>(maxFrames)));
    }
    scratch_.resize(maxFrames * static_cast<std::size_t>(channels_));
    const auto got = static_cast<std::size_t>(sf_readf_short(f, scratch_.data(), static_cast<sf_count_t>(maxFrames)));
    for (std::size_t i = 0; i < got; ++i) {
        const std::int16_t* in = &scratch_[i * static_cast<std::size_t>(channels_)];
        if (outChannels == 1) {
            int sum = 0;
            for (int c = 0; c < channels_; ++c) sum += in[c];
            out[i] = static_cast<std::int16_t>(sum / channels_);
        } else {
            out[i * 2] = in[0];
            out[i * 2 + 1] = channels_ == 1 ? in[0] : in[1];
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
