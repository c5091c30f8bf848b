// Helpers of the audio tests: a temporary folder for sound files made by the
// test, tone generation, and rendering the loopback mix in frame-sized steps
// (with the device's Update between steps, as the frame loop does).
#pragma once
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "port/audio/AudioDevice.h"
#include "port/audio/SoundFile.h"

class TempSoundDir {
public:
    TempSoundDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "ddaudioXXXXXX").string();
        path_ = mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TempSoundDir() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

    // A sine tone written as a sound file; amplitude per channel (1 or 2 channels).
    std::string WriteTone(const std::string& name, int channels, float seconds, float frequency, float ampLeft,
                          float ampRight = 0.0f, int rate = 44100) const {
        const int frames = static_cast<int>(seconds * static_cast<float>(rate));
        std::vector<float> data;
        data.reserve(static_cast<std::size_t>(frames * channels));
        for (int i = 0; i < frames; ++i) {
            const float s = std::sin(6.2831853f * frequency * static_cast<float>(i) / static_cast<float>(rate));
            data.push_back(s * ampLeft);
            if (channels == 2) data.push_back(s * ampRight);
        }
        const std::string path = File(name);
        SoundFile::Write(path, channels, rate, data);
        return path;
    }

private:
    std::string path_;
};

struct RenderedMix {
    std::vector<float> samples;  // interleaved stereo

    float Rms(int channel, std::size_t fromFrame = 0) const {
        double sum = 0.0;
        std::size_t n = 0;
        for (std::size_t i = fromFrame * 2 + static_cast<std::size_t>(channel); i < samples.size(); i += 2, ++n)
            sum += static_cast<double>(samples[i]) * samples[i];
        return n ? static_cast<float>(std::sqrt(sum / static_cast<double>(n))) : 0.0f;
    }
    float Left() const { return Rms(0); }
    float Right() const { return Rms(1); }
    bool AllFinite() const {
        for (float s : samples)
            if (!std::isfinite(s)) return false;
        return true;
    }
    // The longest run of frames of exact silence on both channels after the
    // first sound (a stream that ran dry leaves one); *at its first frame.
    std::size_t LongestHole(std::size_t* at = nullptr) const {
        std::size_t longest = 0, run = 0;
        bool heard = false;
        for (std::size_t f = 0; f + 1 < samples.size(); f += 2) {
            const bool silent = samples[f] == 0.0f && samples[f + 1] == 0.0f;
            heard = heard || !silent;
            run = heard && silent ? run + 1 : 0;
            if (run > longest) {
                longest = run;
                if (at) *at = f / 2 + 1 - run;
            }
        }
        return longest;
    }
};

// Renders `seconds` of the loopback mix, calling Update every `step` seconds.
inline RenderedMix RenderFor(AudioDevice& device, float seconds, float step = 0.02f) {
    RenderedMix mix;
    const int total = static_cast<int>(seconds * AudioDevice::kLoopbackRate);
    const int chunk = std::max(1, static_cast<int>(step * AudioDevice::kLoopbackRate));
    mix.samples.resize(static_cast<std::size_t>(total) * 2);
    for (int done = 0; done < total; done += chunk) {
        const int n = std::min(chunk, total - done);
        device.RenderLoopback(mix.samples.data() + static_cast<std::size_t>(done) * 2, n);
        device.Update();
    }
    return mix;
}
