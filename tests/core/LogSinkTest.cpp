#include "core/LogSink.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
std::vector<std::string> g_rows;

void Record(const char* row) {
    g_rows.push_back(row);
}

class LogSinkTest : public ::testing::Test {
protected:
    void SetUp() override { g_rows.clear(); }
    void TearDown() override { SetLogSink(nullptr); }
};

TEST_F(LogSinkTest, RowsReachTheInstalledSinkFormattedAndCutLikeLogRows) {
    SinkLog("dropped: no sink yet %d", 1);
    SetLogSink(&Record);
    SinkLog("anttweakbar error: %s", "bad");
    SinkLog("%s", "");  // an empty row sends nothing
    SinkLog("%s", std::string(400, 'x').c_str());
    SetLogSink(nullptr);
    SinkLog("dropped: sink removed");
    ASSERT_EQ(g_rows.size(), 2u);
    EXPECT_EQ(g_rows[0], "anttweakbar error: bad");
    EXPECT_EQ(g_rows[1], std::string(299, 'x'));
}
}  // namespace
