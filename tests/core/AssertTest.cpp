#include "core/Assert.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "core/LogSink.h"

namespace {
void SinkToStderr(const char* row) {
    std::fprintf(stderr, "SINK[%s]\n", row);
}

TEST(AssertTest, HeldConditionIsEvaluatedOnceAndContinues) {
    int evaluations = 0;
    DD_ASSERT(++evaluations == 1, "evaluated once");
    EXPECT_EQ(evaluations, 1);
}

TEST(AssertTest, BrokenConditionStopsNamingFileLineConditionAndMessage) {
    // Also in an NDEBUG build: the check is not tied to the build type.
    EXPECT_DEATH(DD_ASSERT(1 + 1 == 3, "arithmetic broke"),
                 "AssertTest\\.cpp:[0-9]+: assertion failed: 1 \\+ 1 == 3: arithmetic broke");
}

TEST(AssertTest, BrokenConditionAlsoReachesTheLogSink) {
    EXPECT_DEATH(
        {
            SetLogSink(&SinkToStderr);
            DD_ASSERT(false, "logged too");
        },
        "SINK\\[.*AssertTest\\.cpp:[0-9]+: assertion failed: false: logged too\\]");
}
}  // namespace
