// The sound tool is not part of the game, so it writes through libsndfile
// directly instead of through the game's port layer.
#include "tools/soundtool/SoundWriter.h"

#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace {

constexpr int kRate = 44100;
constexpr unsigned kOggSerial = 0x51346E74;  // any fixed value; "Q4nt"

std::uint32_t OggCrc(const unsigned char* data, std::size_t size) {
    static const auto table = [] {
        std::uint32_t t[256];
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t r = i << 24;
            for (int k = 0; k < 8; ++k) r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
            t[i] = r;
        }
        return std::to_array(t);
    }();
    std::uint32_t crc = 0;
    for (std::size_t i = 0; i < size; ++i) crc = (crc << 8) ^ table[((crc >> 24) ^ data[i]) & 0xFF];
    return crc;
}

std::string TempName(const std::string& path) {
    return path + ".tmp";
}

// Opens a temporary file beside the target for libsndfile, writes the frames
// with `write`, and closes it. On failure removes the temporary.
template <typename Write>
bool WriteThrough(const std::string& temp, SF_INFO info, Write write, std::string* why) {
    SNDFILE* file = sf_open(temp.c_str(), SFM_WRITE, &info);
    if (!file) {
        if (why) *why = temp + ": cannot be written (" + sf_strerror(nullptr) + ")";
        return false;
    }
    const bool ok = write(file);
    std::string error = sf_strerror(file);
    const bool closed = sf_close(file) == 0;
    if (!ok || !closed) {
        if (why) *why = temp + ": writing failed (" + error + ")";
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        return false;
    }
    return true;
}

bool Commit(const std::string& temp, const std::string& path, std::string* why) {
    std::error_code error;
    std::filesystem::rename(temp, path, error);
    if (error) {
        if (why) *why = path + ": cannot be replaced (" + error.message() + ")";
        std::filesystem::remove(temp, error);
        return false;
    }
    return true;
}

}  // namespace

bool SoundWriter::WriteWav(const std::string& path, const std::vector<float>& mono, std::string* why) {
    std::vector<short> samples(mono.size());
    std::transform(mono.begin(), mono.end(), samples.begin(), [](float x) {
        return static_cast<short>(std::clamp(std::lround(static_cast<double>(x) * 32767.0), -32768L, 32767L));
    });
    SF_INFO info{};
    info.channels = 1;
    info.samplerate = kRate;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    const std::string temp = TempName(path);
    const bool written = WriteThrough(
        temp, info,
        [&](SNDFILE* file) {
            const auto frames = static_cast<sf_count_t>(samples.size());
            return sf_writef_short(file, samples.data(), frames) == frames;
        },
        why);
    return written && Commit(temp, path, why);
}

bool SoundWriter::WriteOgg(const std::string& path, const std::vector<float>& stereo, double quality,
                           std::string* why) {
    SF_INFO info{};
    info.channels = 2;
    info.samplerate = kRate;
    info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    const std::string temp = TempName(path);
    const bool written = WriteThrough(
        temp, info,
        [&](SNDFILE* file) {
            double q = quality;
            sf_command(file, SFC_SET_VBR_ENCODING_QUALITY, &q, sizeof q);
            const auto frames = static_cast<sf_count_t>(stereo.size() / 2);
            return sf_writef_float(file, stereo.data(), frames) == frames;
        },
        why);
    if (!written) return false;

    // The library picks a random stream serial number; a fixed one makes the
    // file's bytes depend on the samples alone.
    std::vector<unsigned char> bytes;
    {
        std::ifstream in(temp, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    bool ok = SetOggSerial(bytes, kOggSerial);
    if (ok) {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        ok = static_cast<bool>(out);
    }
    if (!ok) {
        if (why) *why = temp + ": cannot set the stream's serial number";
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        return false;
    }
    return Commit(temp, path, why);
}

bool SoundWriter::SetOggSerial(std::vector<unsigned char>& bytes, unsigned serial) {
    std::size_t at = 0;
    if (bytes.empty()) return false;
    while (at < bytes.size()) {
        // Page header: "OggS", version, flags, granule (8), serial (4),
        // sequence (4), checksum (4), segment count, segment table.
        if (bytes.size() - at < 27 || std::string(bytes.begin() + at, bytes.begin() + at + 4) != "OggS") return false;
        const std::size_t segments = bytes[at + 26];
        if (bytes.size() - at < 27 + segments) return false;
        std::size_t body = 0;
        for (std::size_t s = 0; s < segments; ++s) body += bytes[at + 27 + s];
        const std::size_t size = 27 + segments + body;
        if (bytes.size() - at < size) return false;
        for (int b = 0; b < 4; ++b) {
            bytes[at + 14 + b] = static_cast<unsigned char>(serial >> (8 * b));
            bytes[at + 22 + b] = 0;
        }
        const std::uint32_t crc = OggCrc(bytes.data() + at, size);
        for (int b = 0; b < 4; ++b) bytes[at + 22 + b] = static_cast<unsigned char>(crc >> (8 * b));
        at += size;
    }
    return true;
}
