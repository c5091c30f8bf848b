// Test support for the sound content tests: the headers of WAV and Ogg
// Vorbis files read byte by byte (so a test sees exactly what is stored),
// whole files decoded through the game's own reader, and the loop-join
// measure. Plain functions; nothing is kept between calls.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The names the screens, the HUD and the levels play: sfx/<name>.wav and
// bgm/<name>.ogg.
inline const char* const kEffectNames[] = {"menu_confirm", "menu_select", "count_down", "go",           "boost",
                                           "shield_on",    "shield_hum",  "empty_tank", "fire",         "fire_spline",
                                           "enemy_fire",   "impact",      "explosion",  "player_death", "pickup"};
inline const char* const kTrackNames[] = {"Menu_loop", "Tutorial_loop", "Gold_loop", "Forward_loop"};

struct StoredFormat {
    bool valid = false;
    std::string codec;  // "pcm" or "vorbis"
    int channels = 0;
    int sampleRate = 0;
    int bits = 0;  // PCM only
};

// The "fmt " chunk of a RIFF/WAVE file, or the identification header of the
// first Ogg page's Vorbis stream. valid is false for anything else.
StoredFormat ReadStoredFormat(const std::string& path);

struct Decoded {
    bool ok = false;
    int channels = 0;
    std::vector<std::int16_t> samples;  // interleaved
    std::size_t Frames() const { return channels ? samples.size() / static_cast<std::size_t>(channels) : 0; }
};

Decoded DecodeFile(const std::string& path);

std::vector<unsigned char> ReadBytes(const std::string& path);

// How much larger the step from a channel's last sample to its first is than
// the largest step between neighbouring samples within `window` frames on
// either side of the join: at most 1 for a loop that joins without a click.
double JoinStepRatio(const Decoded& sound, int channel, std::size_t window = 2048);

// Peak magnitude over all channels, in dBFS (full scale 32768).
double PeakDb(const Decoded& sound);
// Root mean square over all channels, in dBFS.
double RmsDb(const Decoded& sound);
