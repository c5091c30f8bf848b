#include "port/panels/TweakDefinition.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsQuote(char c) {
    return c == '\'' || c == '"' || c == '`';
}

void SkipBlanks(const std::string& s, size_t* i) {
    while (*i < s.size() && IsBlank(s[*i])) ++*i;
}

// Reads a value at *i: quoted (up to the matching quote) or bare (up to a blank).
bool ReadValue(const std::string& s, size_t* i, std::string* out, std::string* error) {
    out->clear();
    if (*i < s.size() && IsQuote(s[*i])) {
        char quote = s[*i];
        size_t end = s.find(quote, *i + 1);
        if (end == std::string::npos) {
            *error = "missing closing quote in \"" + s + "\"";
            return false;
        }
        *out = s.substr(*i + 1, end - *i - 1);
        *i = end + 1;
        return true;
    }
    while (*i < s.size() && !IsBlank(s[*i])) out->push_back(s[(*i)++]);
    return true;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

bool TweakDefinition::ParseParams(const std::string& text, std::vector<Param>* out, std::string* error) {
    size_t i = 0;
    for (;;) {
        SkipBlanks(text, &i);
        if (i >= text.size()) return true;
        std::string key;
        while (i < text.size() && !IsBlank(text[i]) && text[i] != '=') key.push_back(text[i++]);
        SkipBlanks(text, &i);
        if (key.empty() || i >= text.size() || text[i] != '=') {
            *error = "parameter \"" + key + "\" has no value in \"" + text + "\"";
            return false;
        }
        ++i;
        SkipBlanks(text, &i);
        std::string value;
        if (!ReadValue(text, &i, &value, error)) return false;
        out->emplace_back(Lower(key), value);
    }
}

bool TweakDefinition::ParseDefine(const std::string& text, std::vector<Line>* out, std::string* error) {
    std::istringstream lines(text);
    std::string lineText;
    bool ok = true;
    while (std::getline(lines, lineText)) {
        size_t i = 0;
        SkipBlanks(lineText, &i);
        if (i >= lineText.size()) continue;
        // Target: name or `quoted name`, optionally followed by /name or /`quoted`.
        Line line;
        std::string* part = &line.barName;
        bool haveItem = false;
        while (i < lineText.size() && !IsBlank(lineText[i])) {
            if (lineText[i] == '`') {
                size_t end = lineText.find('`', i + 1);
                if (end == std::string::npos) {
                    *error = "missing closing quote in \"" + lineText + "\"";
                    return false;
                }
                part->append(lineText, i + 1, end - i - 1);
                i = end + 1;
            } else if (lineText[i] == '/' && !haveItem) {
                haveItem = true;
                part = &line.itemName;
                ++i;
            } else {
                part->push_back(lineText[i++]);
            }
        }
        if (line.barName.empty() || (haveItem && line.itemName.empty())) {
            *error = "definition without a target: \"" + lineText + "\"";
            return false;
        }
        if (!ParseParams(lineText.substr(i), &line.params, error)) ok = false;
        out->push_back(std::move(line));
        if (!ok) return false;
    }
    return ok;
}

bool TweakDefinition::ParseBool(const std::string& value, bool* out) {
    std::string v = Lower(value);
    if (v == "true" || v == "1") {
        *out = true;
        return true;
    }
    if (v == "false" || v == "0") {
        *out = false;
        return true;
    }
    return false;
}

bool TweakDefinition::ParseInts(const std::string& value, int* out, int count) {
    const char* p = value.c_str();
    for (int k = 0; k < count; ++k) {
        char* end = nullptr;
        long v = std::strtol(p, &end, 10);
        if (end == p) return false;
        out[k] = static_cast<int>(v);
        p = end;
    }
    while (*p && IsBlank(*p)) ++p;
    return *p == '\0';
}
