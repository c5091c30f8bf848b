#include "port/audio/StreamDecoder.h"

#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <deque>
#include <utility>

#include "port/audio/SoundFile.h"

struct StreamDecoder::Stream {
    // Set by Start, read-only afterwards.
    std::string path;
    int channels = 2;
    std::size_t ahead = 1;  // chunks kept ready
    // Under the decoder's mutex.
    bool loop = false;
    bool busy = false;   // the thread is decoding its next chunk
    bool ended = false;  // its last chunk is decoded
    std::deque<Chunk> ready;
    std::vector<std::vector<std::int16_t>> spare;  // sample buffers handed back by Take
    // The decoder thread's alone (while busy).
    SoundFile file;
    bool opened = false;
};

StreamDecoder::~StreamDecoder() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    work_.notify_all();
    if (thread_.joinable()) thread_.join();
}

StreamDecoder::StreamId StreamDecoder::Start(const std::string& path, int channels, bool loop,
                                             std::size_t chunksAhead) {
    auto stream = std::make_shared<Stream>();
    stream->path = path;
    stream->channels = channels == 1 ? 1 : 2;
    stream->ahead = std::max<std::size_t>(chunksAhead, 1);
    stream->loop = loop;
    StreamId id = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        id = ++lastId_;
        if (id == 0) id = ++lastId_;
        streams_[id] = std::move(stream);
    }
    if (!thread_.joinable()) thread_ = std::thread(&StreamDecoder::Run, this);
    work_.notify_one();
    return id;
}

void StreamDecoder::SetLoop(StreamId id, bool loop) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (auto found = streams_.find(id); found != streams_.end()) found->second->loop = loop;
}

void StreamDecoder::WaitAhead(StreamId id) {
    std::unique_lock<std::mutex> lock(mutex_);
    const auto found = streams_.find(id);
    if (found == streams_.end()) return;
    const std::shared_ptr<Stream> stream = found->second;
    decoded_.wait(lock, [&] { return stream->ended || stream->ready.size() >= stream->ahead; });
}

bool StreamDecoder::Take(StreamId id, Chunk& out, bool block) {
    std::unique_lock<std::mutex> lock(mutex_, std::defer_lock);
    // Without `block`, what the thread is filing now is taken next frame.
    if (block)
        lock.lock();
    else if (!lock.try_lock())
        return false;
    const auto found = streams_.find(id);
    if (found == streams_.end()) return false;
    Stream& stream = *found->second;
    if (stream.ready.empty()) return false;
    if (out.pcm.capacity() != 0) stream.spare.push_back(std::move(out.pcm));
    out = std::move(stream.ready.front());
    stream.ready.pop_front();
    lock.unlock();
    work_.notify_one();
    return true;
}

void StreamDecoder::Stop(StreamId id) {
    std::shared_ptr<Stream> gone;  // closed after the lock is released, unless the thread still holds it
    std::lock_guard<std::mutex> lock(mutex_);
    if (auto found = streams_.find(id); found != streams_.end()) {
        gone = std::move(found->second);
        streams_.erase(found);
    }
}

std::shared_ptr<StreamDecoder::Stream> StreamDecoder::NextWork() {
    std::shared_ptr<Stream> best;
    for (const auto& [id, stream] : streams_) {
        if (stream->busy || stream->ended || stream->ready.size() >= stream->ahead) continue;
        if (!best || stream->ready.size() < best->ready.size()) best = stream;
    }
    return best;
}

void StreamDecoder::Run() {
    // Woken by the frame (a chunk taken), the thread must not take the
    // frame's core at once: as a batch thread it waits for its turn.
    sched_param batch{};
    ::pthread_setschedparam(::pthread_self(), SCHED_BATCH, &batch);
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
        std::shared_ptr<Stream> stream;
        work_.wait(lock, [&] { return quit_ || (stream = NextWork()) != nullptr; });
        if (quit_) return;
        stream->busy = true;
        const bool loop = stream->loop;
        Chunk chunk;
        if (!stream->spare.empty()) {
            chunk.pcm = std::move(stream->spare.back());
            stream->spare.pop_back();
        }
        lock.unlock();
        Decode(*stream, loop, chunk);
        lock.lock();
        stream->busy = false;
        stream->ended = chunk.last;
        stream->ready.push_back(std::move(chunk));
        decoded_.notify_all();
    }
}

void StreamDecoder::Decode(Stream& stream, bool loop, Chunk& chunk) {
    if (!stream.opened) {
        stream.opened = true;
        if (!stream.file.Open(stream.path)) {
            chunk.frames = 0;
            chunk.last = true;
            return;
        }
    }
    SoundFile& file = stream.file;
    const std::size_t channels = static_cast<std::size_t>(stream.channels);
    chunk.pcm.resize(kChunkFrames * channels);
    chunk.sampleRate = file.SampleRate();
    std::size_t got = 0;
    bool justRewound = false;  // an empty file must not loop for ever
    while (got < kChunkFrames) {
        const std::size_t n = file.Read(chunk.pcm.data() + got * channels, kChunkFrames - got, stream.channels);
        got += n;
        if (n > 0) {
            justRewound = false;
            continue;
        }
        if (!loop || justRewound || !file.Rewind()) {
            chunk.last = true;
            break;
        }
        justRewound = true;
    }
    chunk.frames = got;
}
