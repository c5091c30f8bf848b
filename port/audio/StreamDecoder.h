// Decodes the AudioDevice's music streams ahead of play on a thread of its
// own, so that no frame waits for Vorbis decoding: each stream keeps as many
// chunks of samples ready as its start asked (the device asks for its whole
// mixer queue). Owned by the AudioDevice; the thread starts with the first
// stream and is joined by the destructor. Start, SetLoop, WaitAhead, Take and
// Stop are the main thread's; the decoder thread alone opens, reads and
// rewinds a stream's file.
#pragma once
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class StreamDecoder {
public:
    // Frames of one chunk (one queued buffer of the mixer).
    static constexpr std::size_t kChunkFrames = 8192;

    struct Chunk {
        std::vector<std::int16_t> pcm;  // interleaved, in the channel count asked
        std::size_t frames = 0;
        int sampleRate = 0;
        bool last = false;  // nothing follows: the file ended (not looping) or could not be read
    };
    using StreamId = std::uint32_t;

    StreamDecoder() = default;
    // Stops the thread; the streams still open are closed.
    ~StreamDecoder();
    StreamDecoder(const StreamDecoder&) = delete;
    StreamDecoder& operator=(const StreamDecoder&) = delete;

    // A stream of the file at `path`, mixed to `channels` (1 or 2), from its
    // first frame, keeping `chunksAhead` chunks (at least one) decoded ahead;
    // a looping stream starts over at its end.
    StreamId Start(const std::string& path, int channels, bool loop, std::size_t chunksAhead);
    // From the next chunk decoded on.
    void SetLoop(StreamId id, bool loop);
    // Blocks until the stream has all its chunks ahead ready or has ended:
    // what a frame finds after the decoder had time enough (the loopback mix
    // waits so, and is the same on every run). Unknown streams return at once.
    void WaitAhead(StreamId id);
    // Moves the stream's next ready chunk into `out` (out's old sample buffer
    // goes back to the stream for reuse); never waits for a chunk. False when
    // none is ready, or when the thread is filing one and `block` is not set
    // (a frame never waits for the thread, which may have been descheduled).
    bool Take(StreamId id, Chunk& out, bool block);
    // Forgets the stream and whatever it had decoded.
    void Stop(StreamId id);

private:
    struct Stream;
    void Run();
    // The stream with the fewest chunks ready among those that want more;
    // null when none does. Under mutex_.
    std::shared_ptr<Stream> NextWork();
    // Decodes one chunk of the stream, outside the lock (decoder thread).
    static void Decode(Stream& stream, bool loop, Chunk& chunk);

    // Guards everything below but thread_, and each Stream's shared fields.
    // The decoder thread reads a file only with the lock released, and only
    // the file of a stream it has marked busy; Stop drops the stream from the
    // map, so the thread never picks it again, and the shared_ptr the thread
    // holds keeps a stream being decoded alive until that chunk is done.
    std::mutex mutex_;
    std::condition_variable work_;     // a stream wants chunks, or quit
    std::condition_variable decoded_;  // a chunk is ready, or a stream ended
    std::map<StreamId, std::shared_ptr<Stream>> streams_;
    StreamId lastId_ = 0;
    bool quit_ = false;
    std::thread thread_;  // started by the first Start; main thread only
};
