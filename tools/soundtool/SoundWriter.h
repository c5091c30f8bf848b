// Writes rendered samples as the game's audio files: 16-bit PCM WAV for
// effects, Vorbis in Ogg for music. Each file is written under a temporary
// name and renamed over the target only when complete. Ogg streams get a
// fixed serial number, so the same samples always give the same bytes.
#pragma once
#include <string>
#include <vector>

class SoundWriter {
public:
    // Mono samples (-1..1) at 44.1 kHz. False, with *why set, when the file
    // cannot be written (the old file, if any, is left as it was).
    static bool WriteWav(const std::string& path, const std::vector<float>& mono, std::string* why);
    // Interleaved stereo samples (-1..1) at 44.1 kHz, Vorbis quality 0..1.
    static bool WriteOgg(const std::string& path, const std::vector<float>& stereo, double quality, std::string* why);

    // Sets every page's stream serial number and recomputes the page
    // checksums. False when the bytes are not a sequence of Ogg pages.
    static bool SetOggSerial(std::vector<unsigned char>& bytes, unsigned serial);
};
