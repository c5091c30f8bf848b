#include "core/IdCounter.h"

#include <gtest/gtest.h>

namespace {
TEST(IdCounterTest, RunningPastTheLastIdStops) {
    IdCounter counter(0xFFFFFFFEu);
    EXPECT_EQ(counter.Draw(), 0xFFFFFFFEu);
    EXPECT_EQ(counter.Draw(), 0xFFFFFFFFu);
    EXPECT_DEATH(counter.Draw(), "the id counter has run out of ids");
}
}  // namespace
