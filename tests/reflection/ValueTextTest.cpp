#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include <lua.hpp>

#include "reflection/ValueText.h"

using value_text::FormatFloat;
using value_text::Quote;

TEST(ValueTextTest, FloatsKeepSixDigitsAndThreeDigitExponents) {
    EXPECT_EQ(FormatFloat(0.1f), "0.1");
    EXPECT_EQ(FormatFloat(3.0f), "3");
    EXPECT_EQ(FormatFloat(100000.0f), "100000");
    EXPECT_EQ(FormatFloat(1000000.0f), "1e+006");
    EXPECT_EQ(FormatFloat(1234567.0f), "1.23457e+006");
    EXPECT_EQ(FormatFloat(0.0001f), "0.0001");
    EXPECT_EQ(FormatFloat(0.00001f), "1e-005");
    EXPECT_EQ(FormatFloat(-2.5f), "-2.5");
    EXPECT_EQ(FormatFloat(0.0f), "0");
    EXPECT_EQ(FormatFloat(-0.0f), "0") << "as a load of \"-0\" may give either zero";
    EXPECT_EQ(FormatFloat(3.0e38f), "3e+038");
    EXPECT_EQ(FormatFloat(std::numeric_limits<float>::min()), "1.17549e-038");
}

TEST(ValueTextTest, NonFiniteFloatsAreLuaExpressions) {
    EXPECT_EQ(FormatFloat(std::numeric_limits<float>::quiet_NaN()), "(0/0)");
    EXPECT_EQ(FormatFloat(std::numeric_limits<float>::infinity()), "(1/0)");
    EXPECT_EQ(FormatFloat(-std::numeric_limits<float>::infinity()), "(-1/0)");
}

namespace {
// Runs "return <literal>" and gives back the Lua value's text, or "<error>".
std::string RoundTrip(const std::string& literal, bool* isNumber = nullptr) {
    lua_State* L = luaL_newstate();
    std::string chunk = "return " + literal;
    std::string out = "<error>";
    if (luaL_loadbuffer(L, chunk.data(), chunk.size(), "t") == 0 && lua_pcall(L, 0, 1, 0) == 0) {
        if (isNumber) *isNumber = lua_type(L, -1) == LUA_TNUMBER;
        size_t len = 0;
        const char* s = lua_tolstring(L, -1, &len);
        if (s) out.assign(s, len);
    }
    lua_close(L);
    return out;
}
}  // namespace

TEST(ValueTextTest, EveryFloatTextIsLuaThatReadsBack) {
    for (float f : {1e6f, 1.5e-7f, -3.25e12f, std::numeric_limits<float>::infinity()}) {
        bool number = false;
        const std::string back = RoundTrip(FormatFloat(f), &number);
        EXPECT_TRUE(number) << FormatFloat(f);
        EXPECT_EQ(FormatFloat(static_cast<float>(std::strtod(back.c_str(), nullptr))), FormatFloat(f));
    }
    bool number = false;
    RoundTrip(FormatFloat(std::nanf("")), &number);
    EXPECT_TRUE(number);
}

TEST(ValueTextTest, OrdinaryStringsAreQuotedUnchanged) {
    EXPECT_EQ(Quote(""), "\"\"");
    EXPECT_EQ(Quote("Bullet"), "\"Bullet\"");
    EXPECT_EQ(Quote("models/ship one.bin"), "\"models/ship one.bin\"");
}

TEST(ValueTextTest, SpecialCharactersAreEscapedAndReadBack) {
    EXPECT_EQ(Quote("a\"b"), "\"a\\\"b\"");
    EXPECT_EQ(Quote("c:\\x"), "\"c:\\\\x\"");
    const std::string hostile = std::string("q\"uo\\te\nline\r\x01") + '\0' + "end";
    EXPECT_EQ(RoundTrip(Quote(hostile)), hostile);
    // The writer turns every line end into CR LF; the string still reads back.
    std::string crlf;
    for (char c : Quote("two\nlines")) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(RoundTrip(crlf), "two\nlines");
}

TEST(ValueTextTest, LuaNamesExcludeKeywordsDigitsAndPunctuation) {
    EXPECT_TRUE(value_text::IsLuaName("Bullet"));
    EXPECT_TRUE(value_text::IsLuaName("_x1"));
    EXPECT_FALSE(value_text::IsLuaName(""));
    EXPECT_FALSE(value_text::IsLuaName("1st"));
    EXPECT_FALSE(value_text::IsLuaName("enemy-1"));
    EXPECT_FALSE(value_text::IsLuaName("my ship"));
    EXPECT_FALSE(value_text::IsLuaName("end"));
}
