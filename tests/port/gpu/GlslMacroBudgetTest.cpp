// Shader text whose macros would expand past the bound is refused before the
// driver sees it; ordinary macros pass.
#include <gtest/gtest.h>

#include "port/gpu/GlslMacroBudget.h"

namespace {

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

// Nine macros, each ten uses of the one before.
std::string NestedDefines() {
    std::string text = "#define M0 1.0\n";
    for (int i = 1; i <= 9; ++i)
        text += "#define M" + std::to_string(i) + " (" + Repeat("M" + std::to_string(i - 1) + "+", 9) + "M" +
                std::to_string(i - 1) + ")\n";
    return text + "void main() { gl_Position = vec4(M9); }\n";
}

TEST(GlslMacroBudgetTest, MacrosThatWouldExpandPastTheBoundAreRefused) {
    const std::string big = std::string(4000, 'x');
    const struct {
        std::string text;
        std::string refusal;  // "" when the text passes
    } cases[] = {
        {"void main() { gl_Position = vec4(1.0); }", ""},
        {"#define SCALE 2.0\n#define TINT(c) (c * SCALE2)\nvoid main() { float a = TINT(SCALE); }",
         "a call of macro 'TINT' is given macro 'SCALE'"},
        {"#define SCALE 2.0 // not OTHER\n#define OTHER(a, b) (a + b)\nfloat f = SCALE * OTHER(1.0, 2e5);", ""},
        {NestedDefines(), "macro 'M1' expands macro 'M0'"},
        {"#define A 1\n#define B \\\n  A\n", "macro 'B' expands macro 'A'"},
        {"#define A x ## y\n", "macro 'A' uses the # operator"},
        {"/*\n*/ #define A 1\n#define B A\n", "macro 'B' expands macro 'A'"},
        {"#define BIG " + big + "\n" + Repeat("BIG ", 300), "would add more than 1048576 bytes"},
        {"#define F(x) x x x x\n" + Repeat("F(" + big + ")\n", 80), "would add more than 1048576 bytes"},
        {"#define BIG " + big + "\n" + Repeat("BIG ", 200), ""},
    };
    for (const auto& c : cases) {
        std::string why = "stale";
        EXPECT_EQ(GlslMacroBudget::Check(c.text, &why), c.refusal.empty()) << c.text.substr(0, 200);
        if (c.refusal.empty())
            EXPECT_EQ(why, "");
        else
            EXPECT_NE(why.find(c.refusal), std::string::npos) << why;
    }
}

// The nested defines above, spelled as the preprocessor still reads them:
// each is refused, by what it is or by the bytes it is written with.
TEST(GlslMacroBudgetTest, NestedDefinesAreRefusedHoweverTheTextSpellsThem) {
    // Put after a line of code, where a line taken for something else hides them.
    auto respell = [](const std::string& from, const std::string& to) {
        std::string text = "float a;\n" + NestedDefines();
        for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
            text.replace(at, from.size(), to);
        return text;
    };
    const struct {
        std::string text;
        std::string refusal;
    } cases[] = {
        {respell("#define", "\v#define"), "byte 0x0B"},
        {respell("#define", "\f#define"), "byte 0x0C"},
        {respell("#define", "#\vdefine"), "byte 0x0B"},
        {respell(" (", " /*\n*/ ("), "macro 'M1' expands macro 'M0'"},  // the comment is one space
        {respell("\n", "\r"), "byte 0x0D"},
        {respell(" (", " \\\r\n ("), "macro 'M1' expands macro 'M0'"},
        {respell("\n", "\r\n"), "macro 'M1' expands macro 'M0'"},
        {"float x; /*\n*/ #define M1 M0 M0\n", "a '#' that does not begin its line"},
        {"#define M0 1.0 // a \\ b\n", "byte 0x5C"},
    };
    for (const auto& c : cases) {
        std::string why;
        EXPECT_FALSE(GlslMacroBudget::Check(c.text, &why)) << c.text.substr(0, 80);
        EXPECT_NE(why.find(c.refusal), std::string::npos) << why;
    }
    // What the shipped effects write still passes: CR LF, comments, blanks.
    std::string why = "stale";
    EXPECT_TRUE(GlslMacroBudget::Check("// a # in a comment\r\n\tfloat x = 1.0; /* and\n one */\r\n", &why));
    EXPECT_EQ(why, "");
}

}  // namespace
