// The music decoder's thread: chunks follow the file frame for frame and
// start over at its end when looping; a stream that ends or cannot be read
// says so; streams stopped while the thread decodes them leave the others
// whole (run in the sanitizer build too).
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "port/audio/SoundFile.h"
#include "port/audio/StreamDecoder.h"
#include "tests/port/AudioTestSounds.h"

namespace {

// A mono 16-bit file whose frame i holds i % 20011 (no two chunks alike).
constexpr int kFrames = 20000;
constexpr std::size_t kAhead = 4;

std::string WriteCounting(const TempSoundDir& dir, const std::string& name) {
    std::vector<float> samples;
    for (int i = 0; i < kFrames; ++i) samples.push_back(static_cast<float>(i % 20011 - 10000) / 32768.0f);
    const std::string path = dir.File(name);
    SoundFile::Write(path, 1, 22050, samples);
    return path;
}

std::int16_t Expected(std::size_t frame) {
    return static_cast<std::int16_t>(static_cast<int>(frame % kFrames) % 20011 - 10000);
}

// Every chunk up to `limit` frames, waiting for each; false once the stream ends.
std::vector<std::int16_t> TakeAll(StreamDecoder& decoder, StreamDecoder::StreamId id, std::size_t limit,
                                  bool* ended = nullptr) {
    std::vector<std::int16_t> all;
    StreamDecoder::Chunk chunk;
    while (all.size() < limit) {
        decoder.WaitAhead(id);
        if (!decoder.Take(id, chunk, true)) break;
        EXPECT_TRUE(chunk.last || chunk.frames == StreamDecoder::kChunkFrames);
        all.insert(all.end(), chunk.pcm.begin(), chunk.pcm.begin() + static_cast<std::ptrdiff_t>(chunk.frames));
        if (chunk.last && ended) *ended = true;
    }
    return all;
}

TEST(StreamDecoderTest, LoopingStreamFollowsTheFileAndStartsOverAtItsEnd) {
    TempSoundDir dir;
    StreamDecoder decoder;
    const StreamDecoder::StreamId id = decoder.Start(WriteCounting(dir, "count.wav"), 1, true, kAhead);
    const std::vector<std::int16_t> all = TakeAll(decoder, id, 3 * kFrames);
    ASSERT_GE(all.size(), 3u * kFrames);
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < all.size(); ++i) wrong += all[i] != Expected(i);
    EXPECT_EQ(wrong, 0u);
}

TEST(StreamDecoderTest, StreamEndsWithItsFileOrAtOnceWhenUnreadable) {
    TempSoundDir dir;
    StreamDecoder decoder;
    const StreamDecoder::StreamId once = decoder.Start(WriteCounting(dir, "count.wav"), 1, false, kAhead);
    const StreamDecoder::StreamId missing = decoder.Start(dir.File("missing.ogg"), 2, true, kAhead);
    bool ended = false;
    EXPECT_EQ(TakeAll(decoder, once, 10 * kFrames, &ended).size(), static_cast<std::size_t>(kFrames));
    EXPECT_TRUE(ended);
    StreamDecoder::Chunk chunk;
    EXPECT_FALSE(decoder.Take(once, chunk, true));
    decoder.WaitAhead(missing);
    ASSERT_TRUE(decoder.Take(missing, chunk, true));
    EXPECT_TRUE(chunk.last);
    EXPECT_EQ(chunk.frames, 0u);
    EXPECT_FALSE(decoder.Take(missing, chunk, true));
    // Unknown and stopped streams give nothing.
    decoder.Stop(once);
    EXPECT_FALSE(decoder.Take(once, chunk, true));
    decoder.WaitAhead(12345);
    EXPECT_FALSE(decoder.Take(12345, chunk, true));
}

TEST(StreamDecoderTest, StreamsStoppedWhileDecodedLeaveTheOthersWhole) {
    TempSoundDir dir;
    const std::string path = WriteCounting(dir, "count.flac");
    StreamDecoder decoder;
    for (int round = 0; round < 20; ++round) {
        std::vector<StreamDecoder::StreamId> streams;
        for (int i = 0; i < 6; ++i) streams.push_back(decoder.Start(path, 1, true, kAhead));
        // Half are stopped at once, most likely while the thread reads them.
        for (std::size_t i = 0; i < streams.size(); i += 2) decoder.Stop(streams[i]);
        for (std::size_t i = 1; i < streams.size(); i += 2) {
            const std::vector<std::int16_t> all = TakeAll(decoder, streams[i], kFrames + 1);
            std::size_t wrong = 0;
            for (std::size_t f = 0; f < all.size(); ++f) wrong += all[f] != Expected(f);
            ASSERT_EQ(wrong, 0u) << "round " << round;
            decoder.Stop(streams[i]);
        }
    }
}

}  // namespace
