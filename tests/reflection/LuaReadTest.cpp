#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include <lua.hpp>

#include "reflection/Meta.h"

namespace {
class LuaReadTest : public ::testing::Test {
protected:
    void SetUp() override { L = luaL_newstate(); }
    void TearDown() override { lua_close(L); }
    // Pushes the value of a Lua expression.
    void Push(const std::string& expr) {
        const std::string chunk = "return " + expr;
        ASSERT_EQ(luaL_loadbuffer(L, chunk.data(), chunk.size(), "t"), 0);
        ASSERT_EQ(lua_pcall(L, 0, 1, 0), 0);
    }
    template <class T>
    T Read(const std::string& expr, T start = T()) {
        Push(expr);
        const int top = lua_gettop(L);
        Meta<T>::Get()->FromLua(&start, L);
        EXPECT_EQ(lua_gettop(L), top - 1) << expr;
        return start;
    }
    lua_State* L = nullptr;
};
}  // namespace

TEST_F(LuaReadTest, IntRoundsToNearestTiesToEven) {
    EXPECT_EQ(Read<int>("2.5"), 2);
    EXPECT_EQ(Read<int>("3.5"), 4);
    EXPECT_EQ(Read<int>("-2.5"), -2);
    EXPECT_EQ(Read<int>("-3.5"), -4);
    EXPECT_EQ(Read<int>("2.4999"), 2);
    EXPECT_EQ(Read<int>("-0.6"), -1);
    EXPECT_EQ(Read<int>("'  0x10 '"), 16);
    EXPECT_EQ(Read<int>("'12abc'"), 0);
    EXPECT_EQ(Read<int>("{}"), 0);
}

TEST_F(LuaReadTest, IntFromNanInfinityOrHugeIsClamped) {
    EXPECT_EQ(Read<int>("0/0", 7), 0);
    EXPECT_EQ(Read<int>("1/0"), std::numeric_limits<int>::max());
    EXPECT_EQ(Read<int>("-1/0"), std::numeric_limits<int>::min());
    EXPECT_EQ(Read<int>("1e300"), std::numeric_limits<int>::max());
    EXPECT_EQ(Read<int>("-2147483648.4"), std::numeric_limits<int>::min());
    EXPECT_EQ(Read<int>("2147483646.5"), 2147483646);
}

TEST_F(LuaReadTest, UnsignedTruncatesAndKeepsLow32Bits) {
    EXPECT_EQ(Read<unsigned>("3.9"), 3u);
    EXPECT_EQ(Read<unsigned>("-1"), 4294967295u);
    EXPECT_EQ(Read<unsigned>("4294967296"), 0u);
    EXPECT_EQ(Read<unsigned>("4294967297.7"), 1u);
    EXPECT_EQ(Read<unsigned>("0/0", 9u), 0u);
    EXPECT_EQ(Read<unsigned>("1/0"), 4294967295u);
    EXPECT_EQ(Read<unsigned>("-1/0"), 0u);
    EXPECT_EQ(Read<unsigned>("1e30"), 4294967295u);
}

TEST_F(LuaReadTest, FloatConvertsStringsAndSaturatesToInfinity) {
    EXPECT_FLOAT_EQ(Read<float>("0.1"), 0.1f);
    EXPECT_EQ(Read<float>("'12abc'"), 0.0f);
    EXPECT_EQ(Read<float>("' 0x10 '"), 16.0f);
    EXPECT_EQ(Read<float>("1e300"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(Read<float>("-1e39"), -std::numeric_limits<float>::infinity());
    EXPECT_TRUE(std::isnan(Read<float>("0/0")));
}

TEST_F(LuaReadTest, NilKeepsScalarsAndFalseIsNotNil) {
    EXPECT_EQ(Read<int>("nil", 5), 5);
    EXPECT_EQ(Read<unsigned>("nil", 5u), 5u);
    EXPECT_EQ(Read<float>("nil", 5.0f), 5.0f);
    EXPECT_EQ(Read<std::string>("nil", std::string("keep")), "keep");
    EXPECT_FALSE(Read<bool>("false", true));
    EXPECT_TRUE(Read<bool>("0"));
    EXPECT_TRUE(Read<bool>("''"));
}

TEST_F(LuaReadTest, StringsTakeNumbersAsLuaTextAndIgnoreOtherTypes) {
    EXPECT_EQ(Read<std::string>("7"), "7");
    EXPECT_EQ(Read<std::string>("0.5"), "0.5");
    EXPECT_EQ(Read<std::string>("'a\\0b'"), "a");
    EXPECT_EQ(Read<std::string>("true", std::string("keep")), "keep");
    EXPECT_EQ(Read<std::string>("{}", std::string("keep")), "keep");
}

TEST_F(LuaReadTest, NullTypeReadsAndPopsNothing) {
    Push("5");
    NullType n;
    Meta<NullType>::Get()->FromLua(&n, L);
    EXPECT_EQ(lua_gettop(L), 1);
}
