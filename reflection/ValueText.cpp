#include "reflection/ValueText.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace value_text {

std::string FormatFloat(float value) {
    // -0 is written "0": Lua may read "-0" back as either zero, and a file
    // must read back as what a save of it writes.
    const double d = value == 0.0f ? 0.0 : static_cast<double>(value);
    if (std::isnan(d)) return "(0/0)";
    if (std::isinf(d)) return d > 0 ? "(1/0)" : "(-1/0)";
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, d, std::chars_format::general, 6);
    std::string text(buffer, result.ptr);
    const std::size_t e = text.find('e');
    if (e != std::string::npos) {
        // "1e+06" -> "1e+006": the sign stays, the digits are padded to three.
        const std::size_t digits = e + 2;
        const std::size_t count = text.size() - digits;
        if (count < 3) text.insert(digits, 3 - count, '0');
    }
    return text;
}

std::string Quote(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\0':
                out += "\\000";
                break;
            default:
                out += c;
                break;
        }
    }
    out += '"';
    return out;
}

bool IsLuaName(const std::string& text) {
    static const char* const reserved[] = {"and", "break",    "do",     "else", "elseif", "end",   "false",
                                           "for", "function", "if",     "in",   "local",  "nil",   "not",
                                           "or",  "repeat",   "return", "then", "true",   "until", "while"};
    if (text.empty() || (text[0] >= '0' && text[0] <= '9')) return false;
    for (char c : text) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!ok) return false;
    }
    for (const char* word : reserved)
        if (text == word) return false;
    return true;
}

}  // namespace value_text
