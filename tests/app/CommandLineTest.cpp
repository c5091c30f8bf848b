#include <gtest/gtest.h>

#include "app/CommandLine.h"

namespace {
using Words = std::vector<std::string>;

bool StartsEditor(const char* text) {
    const Words words = SplitCommandLine(text);
    return FindEditorSwitch(words.begin(), words.end()) != words.end();
}

TEST(CommandLineTest, EmptyOrBlankTextHasNoWords) {
    EXPECT_EQ(SplitCommandLine(""), Words{});
    EXPECT_EQ(SplitCommandLine("    "), Words{});
    EXPECT_EQ(SplitCommandLine(nullptr), Words{});
}

TEST(CommandLineTest, BlankIsTheOnlySeparatorAndRunsGiveNoEmptyWords) {
    EXPECT_EQ(SplitCommandLine("  a   b c  "), (Words{"a", "b", "c"}));
    EXPECT_EQ(SplitCommandLine("-e\tx"), Words{"-e\tx"});
    EXPECT_EQ(SplitCommandLine("a\nb"), Words{"a\nb"});
    EXPECT_EQ(SplitCommandLine("\"-e\" \"two words\""), (Words{"\"-e\"", "\"two", "words\""}));
}

TEST(CommandLineTest, OnlyTheExactWordDashEStartsTheEditor) {
    EXPECT_TRUE(StartsEditor("-e"));
    EXPECT_TRUE(StartsEditor("level -e other"));
    EXPECT_TRUE(StartsEditor("  x  -e"));
    EXPECT_FALSE(StartsEditor(""));
    EXPECT_FALSE(StartsEditor("   "));
    EXPECT_FALSE(StartsEditor("-E"));
    EXPECT_FALSE(StartsEditor("-ed"));
    EXPECT_FALSE(StartsEditor("--e"));
    EXPECT_FALSE(StartsEditor("\"-e\""));
    EXPECT_FALSE(StartsEditor("-e\tlevel"));
    EXPECT_FALSE(StartsEditor("e"));
}

TEST(CommandLineTest, FindEditorSwitchReturnsTheFirstMatch) {
    const Words words{"a", "-e", "-e"};
    EXPECT_EQ(FindEditorSwitch(words.begin(), words.end()) - words.begin(), 1);
    EXPECT_EQ(FindEditorSwitch(words.begin() + 2, words.end()) - words.begin(), 2);
    EXPECT_EQ(FindEditorSwitch(words.begin(), words.begin() + 1), words.begin() + 1);
}

TEST(CommandLineTest, ArgumentsAreJoinedWithSingleBlanksWithoutTheProgram) {
    const char* none[] = {"/bin/DevozizuDave"};
    EXPECT_EQ(JoinArguments(1, none), "");
    const char* some[] = {"/bin/DevozizuDave", "-e", "", "x y"};
    EXPECT_EQ(JoinArguments(4, some), "-e  x y");
    EXPECT_EQ(SplitCommandLine(JoinArguments(4, some).c_str()), (Words{"-e", "x", "y"}));
}
}  // namespace
