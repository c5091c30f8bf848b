#include "port/gpu/GlslMacroBudget.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <vector>

namespace {

struct Macro {
    bool takesArguments = false;
    std::size_t bodyBytes = 0;     // the largest body of its definitions
    std::size_t argumentUses = 0;  // the most parameter names in one body
};

struct Definition {
    std::string name;
    bool takesArguments = false;
    std::set<std::string> parameters;
    std::string body;
};

bool IsNameStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool IsNamePart(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Calls `visit(name, end, &next)` for each identifier of `text`, `end` just
// past it; numbers (1e5, 0x1F) are passed over whole. Stops when `visit`
// returns false; otherwise goes on from `next` (`end` unless it moves it).
template <class Visit>
void ForEachName(const std::string& text, Visit visit) {
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (IsNameStart(c)) {
            std::size_t end = i;
            while (end < text.size() && IsNamePart(text[end])) ++end;
            std::size_t next = end;
            if (!visit(text.substr(i, end - i), end, &next)) return;
            i = next;
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            while (i < text.size() && (IsNamePart(text[i]) || text[i] == '.')) ++i;
        } else {
            ++i;
        }
    }
}

// Shader text as the GLSL preprocessor reads it, for the bytes read here:
// printable ASCII, tabs and LF or CR LF line ends. Anything else (vertical
// tab, form feed, lone CR, control or non-ASCII bytes, a backslash not ending
// a line) is refused rather than guessed at. CR LF becomes LF, a backslash at
// a line's end joins it to the next, and each comment becomes one space (a
// block comment's line ends dropped, so a directive goes on past it).
bool ReadAsPreprocessor(const std::string& source, std::string* out, std::string* why) {
    std::string joined;
    joined.reserve(source.size());
    for (std::size_t i = 0; i < source.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(source[i]);
        const bool lineEnd = i + 1 < source.size() && source[i + 1] == '\n';
        if (c == '\r' && lineEnd) continue;
        if (c == '\\' && (lineEnd || (i + 2 < source.size() && source[i + 1] == '\r' && source[i + 2] == '\n'))) {
            i += lineEnd ? 1 : 2;
            continue;
        }
        if ((c < 0x20 && c != '\t' && c != '\n') || c > 0x7E || c == '\\') {
            static const char kHex[] = "0123456789ABCDEF";
            *why = std::string("byte 0x") + kHex[c >> 4] + kHex[c & 15] + " at offset " + std::to_string(i) +
                   " is not read here (only printable ASCII, tabs, LF or CR LF line ends, and a backslash ending "
                   "a line)";
            return false;
        }
        joined += static_cast<char>(c);
    }
    out->clear();
    out->reserve(joined.size());
    for (std::size_t i = 0; i < joined.size(); ++i) {
        if (joined.compare(i, 2, "//") == 0) {
            i = std::min(joined.find('\n', i), joined.size()) - 1;
            *out += ' ';
        } else if (joined.compare(i, 2, "/*") == 0) {
            i = std::min(joined.find("*/", i + 2), joined.size() - 1) + 1;
            *out += ' ';
        } else {
            *out += joined[i];
        }
    }
    return true;
}

// Reads "#define NAME body" or "#define NAME(a, b) body" from a line that
// starts with '#'; false for any other directive.
bool ReadDefinition(const std::string& line, std::size_t at, Definition* out) {
    auto skipBlanks = [&] {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
    };
    ++at;  // the '#'
    skipBlanks();
    if (line.compare(at, 6, "define") != 0 || (at + 6 < line.size() && IsNamePart(line[at + 6]))) return false;
    at += 6;
    skipBlanks();
    const std::size_t nameStart = at;
    while (at < line.size() && IsNamePart(line[at])) ++at;
    out->name = line.substr(nameStart, at - nameStart);
    if (at < line.size() && line[at] == '(') {
        const std::size_t close = line.find(')', at);
        const std::string list = line.substr(at + 1, close == std::string::npos ? std::string::npos : close - at - 1);
        ForEachName(list, [&](const std::string& name, std::size_t, std::size_t*) {
            out->parameters.insert(name);
            return true;
        });
        if (list.find("...") != std::string::npos) out->parameters.insert("__VA_ARGS__");
        out->takesArguments = true;
        at = close == std::string::npos ? line.size() : close + 1;
    }
    out->body = line.substr(at);
    return !out->name.empty();
}

}  // namespace

bool GlslMacroBudget::Check(const std::string& source, std::string* why) {
    if (why) why->clear();
    std::string reason;
    std::string text;
    if (!ReadAsPreprocessor(source, &text, &reason)) {
        if (why) *why = reason;
        return false;
    }
    std::vector<Definition> definitions;
    std::string rest;  // every line but the definitions: where macros are used
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        const std::size_t first = line.find_first_not_of(" \t");
        const bool directive = first != std::string::npos && line[first] == '#';
        Definition definition;
        if (directive && ReadDefinition(line, first, &definition)) {
            definitions.push_back(std::move(definition));
        } else if (!directive && line.find('#') != std::string::npos) {
            // A driver that read the line otherwise could take it as a directive.
            if (why) *why = "a '#' that does not begin its line";
            return false;
        } else {
            rest += line + '\n';
        }
        start = end + 1;
    }
    if (definitions.empty()) return true;

    std::map<std::string, Macro> macros;
    for (const Definition& d : definitions) {
        Macro& macro = macros[d.name];
        macro.takesArguments = macro.takesArguments || d.takesArguments;
        macro.bodyBytes = std::max(macro.bodyBytes, d.body.size());
    }
    for (const Definition& d : definitions) {
        if (d.body.find('#') != std::string::npos) {
            if (why) *why = "macro '" + d.name + "' uses the # operator";
            return false;
        }
        std::size_t uses = 0;
        std::string named;
        ForEachName(d.body, [&](const std::string& name, std::size_t, std::size_t*) {
            if (d.parameters.count(name)) ++uses;
            if (macros.count(name) && !d.parameters.count(name)) named = name;
            return named.empty();
        });
        if (!named.empty()) {
            if (why) *why = "macro '" + d.name + "' expands macro '" + named + "'";
            return false;
        }
        Macro& macro = macros[d.name];
        macro.argumentUses = std::max(macro.argumentUses, uses);
    }

    std::size_t added = 0;
    ForEachName(rest, [&](const std::string& name, std::size_t end, std::size_t* next) {
        const auto found = macros.find(name);
        if (found == macros.end()) return true;
        const Macro& macro = found->second;
        added += macro.bodyBytes;
        std::size_t open = rest.find_first_not_of(" \t\r\n", end);
        if (macro.takesArguments && open != std::string::npos && rest[open] == '(') {
            std::size_t close = open, depth = 0;
            for (; close < rest.size(); ++close) {
                if (rest[close] == '(') ++depth;
                if (rest[close] == ')' && --depth == 0) break;
            }
            const std::string arguments = rest.substr(open + 1, close - open - 1);
            ForEachName(arguments, [&](const std::string& inner, std::size_t, std::size_t*) {
                if (macros.count(inner)) reason = "a call of macro '" + name + "' is given macro '" + inner + "'";
                return reason.empty();
            });
            added += macro.argumentUses * arguments.size();
            *next = close + 1;
        }
        return reason.empty() && added <= kMaxAddedBytes;
    });
    if (reason.empty() && added > kMaxAddedBytes)
        reason = "its macros would add more than " + std::to_string(kMaxAddedBytes) + " bytes to the text";
    if (why) *why = reason;
    return reason.empty();
}
