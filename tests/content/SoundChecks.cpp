#include "tests/content/SoundChecks.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "port/audio/SoundFile.h"

namespace {

std::uint32_t Le(const std::vector<unsigned char>& b, std::size_t at, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | b[at + static_cast<std::size_t>(i)];
    return value;
}

bool Is(const std::vector<unsigned char>& b, std::size_t at, const std::string& text) {
    return b.size() >= at + text.size() && std::equal(text.begin(), text.end(), b.begin() + static_cast<long>(at));
}

}  // namespace

std::vector<unsigned char> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

StoredFormat ReadStoredFormat(const std::string& path) {
    const std::vector<unsigned char> b = ReadBytes(path);
    StoredFormat format;
    if (Is(b, 0, "RIFF") && Is(b, 8, "WAVE")) {
        for (std::size_t at = 12; at + 8 <= b.size();) {
            const std::uint32_t size = Le(b, at + 4, 4);
            if (Is(b, at, "fmt ") && size >= 16 && at + 24 <= b.size()) {
                format.valid = true;
                format.codec = Le(b, at + 8, 2) == 1 ? "pcm" : "other";
                format.channels = static_cast<int>(Le(b, at + 10, 2));
                format.sampleRate = static_cast<int>(Le(b, at + 12, 4));
                format.bits = static_cast<int>(Le(b, at + 22, 2));
                return format;
            }
            at += 8 + size + (size & 1);
        }
        return format;
    }
    // First Ogg page: 27-byte header, segment table, then the Vorbis
    // identification packet: 0x01 "vorbis", version (4), channels (1), rate (4).
    if (Is(b, 0, "OggS") && b.size() > 27) {
        const std::size_t packet = 27 + b[26];
        if (b.size() >= packet + 16 && b[packet] == 1 && Is(b, packet + 1, "vorbis")) {
            format.valid = true;
            format.codec = "vorbis";
            format.channels = b[packet + 11];
            format.sampleRate = static_cast<int>(Le(b, packet + 12, 4));
        }
    }
    return format;
}

Decoded DecodeFile(const std::string& path) {
    Decoded decoded;
    SoundFile file;
    if (!file.Open(path)) return decoded;
    decoded.channels = file.Channels();
    std::vector<std::int16_t> chunk(4096 * static_cast<std::size_t>(decoded.channels));
    while (const std::size_t got = file.Read(chunk.data(), 4096, decoded.channels))
        decoded.samples.insert(decoded.samples.end(), chunk.begin(),
                               chunk.begin() + static_cast<long>(got * static_cast<std::size_t>(decoded.channels)));
    decoded.ok = decoded.Frames() > 0;
    return decoded;
}

double JoinStepRatio(const Decoded& sound, int channel, std::size_t window) {
    const std::size_t frames = sound.Frames();
    const auto at = [&](std::size_t frame) {
        return static_cast<double>(
            sound.samples[frame * static_cast<std::size_t>(sound.channels) + static_cast<std::size_t>(channel)]);
    };
    window = std::min(window, frames / 2 - 1);
    double largest = 1.0;  // one step of the 16-bit scale at least
    for (std::size_t i = 0; i < window; ++i) {
        largest = std::max(largest, std::abs(at(i + 1) - at(i)));
        largest = std::max(largest, std::abs(at(frames - 1 - i) - at(frames - 2 - i)));
    }
    return std::abs(at(0) - at(frames - 1)) / largest;
}

double PeakDb(const Decoded& sound) {
    int peak = 0;
    for (std::int16_t s : sound.samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
    return 20.0 * std::log10(std::max(peak, 1) / 32768.0);
}

double RmsDb(const Decoded& sound) {
    double sum = 0.0;
    for (std::int16_t s : sound.samples) sum += static_cast<double>(s) * s;
    const double rms = std::sqrt(sum / static_cast<double>(std::max<std::size_t>(sound.samples.size(), 1)));
    return 20.0 * std::log10(std::max(rms, 1e-3) / 32768.0);
}
