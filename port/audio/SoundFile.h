// One audio file read through libsndfile (WAV, OGG/Vorbis, FLAC and whatever
// else the library reads), decoded to 16-bit samples (full scale 32768, lossy
// overshoot clipped) and mixed down to the channel count the caller asks for.
// Owned by the AudioDevice (one per loaded effect while decoding) and by its
// StreamDecoder (one per playing music stream). Used by one thread at a time:
// effects on the main thread, a stream's file on the decoder thread.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class SoundFile {
public:
    SoundFile() = default;
    ~SoundFile();
    SoundFile(const SoundFile&) = delete;
    SoundFile& operator=(const SoundFile&) = delete;

    // False when the file is missing, no regular file (a FIFO, a device) or
    // not a sound the library reads; *why (optional) then names the file and
    // the reason.
    bool Open(const std::string& path, std::string* why = nullptr);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }

    int Channels() const { return channels_; }
    int SampleRate() const { return sampleRate_; }
    std::int64_t Frames() const { return frames_; }

    // Reads up to maxFrames frames into out (maxFrames * outChannels samples),
    // mixed to outChannels (1 = average of all channels, 2 = left/right, a mono
    // file on both). Returns the frames read; 0 at the end of the file.
    std::size_t Read(std::int16_t* out, std::size_t maxFrames, int outChannels);
    // Back to the first frame (for looping streams).
    bool Rewind();

    // Writes interleaved float samples (-1..1) as a new file whose format
    // follows the extension: ".wav" 16-bit PCM, ".ogg" Vorbis, ".flac" 16-bit.
    // Used to make test and asset sounds. False when it cannot be written.
    static bool Write(const std::string& path, int channels, int sampleRate, const std::vector<float>& interleaved);

private:
    void* file_ = nullptr;  // SNDFILE*
    int channels_ = 0;
    int sampleRate_ = 0;
    std::int64_t frames_ = 0;
    std::vector<double> scratch_;  // one Read's frames as decoded, -1..1
};
