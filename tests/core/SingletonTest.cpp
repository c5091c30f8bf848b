#include "core/Singleton.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
class FrameClock : public Singleton<FrameClock> {
public:
    int frames = 0;
};
}  // namespace

namespace audio {
class Mixer : public Singleton<Mixer> {};
}  // namespace audio

namespace {
static_assert(FrameClock::Name() == "{anonymous}::FrameClock" ||
              FrameClock::Name() == "(anonymous namespace)::FrameClock");
static_assert(audio::Mixer::Name() == "audio::Mixer");

TEST(SingletonTest, GetAndInstanceFollowTheNewestLiveObject) {
    EXPECT_EQ(FrameClock::Instance(), nullptr);
    auto older = std::make_unique<FrameClock>();
    FrameClock::Get().frames = 3;
    EXPECT_EQ(older->frames, 3);
    {
        FrameClock newer;
        // The older object's end leaves the newer one's pointer in place.
        older.reset();
        EXPECT_EQ(&FrameClock::Get(), &newer);
    }
    EXPECT_EQ(FrameClock::Instance(), nullptr);
}

TEST(SingletonTest, GetOfAMissingServiceStopsNamingIt) {
    EXPECT_DEATH(audio::Mixer::Get(), "the service audio::Mixer is missing");
    { audio::Mixer mixer; }
    EXPECT_DEATH(audio::Mixer::Get(), "the service audio::Mixer is missing: .*after it was destroyed");
}
}  // namespace
