#include "tests/port/CrashDumpReader.h"

#include <cstdlib>

bool ParsedDump::HasLine(const std::string& line) const {
    for (const std::string& l : lines)
        if (l == line) return true;
    return false;
}

bool ParsedDump::HasLineStartingWith(const std::string& prefix) const {
    for (const std::string& l : lines)
        if (l.compare(0, prefix.size(), prefix) == 0) return true;
    return false;
}

std::string ParsedDump::Value(const std::string& key) const {
    std::string prefix = key + ": ";
    for (const std::string& l : lines)
        if (l.compare(0, prefix.size(), prefix) == 0) return l.substr(prefix.size());
    return "";
}

ParsedDump ParseDump(const std::string& text) {
    ParsedDump dump;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) {
            dump.error = "last line without LF";
            return dump;
        }
        std::string line = text.substr(at, end - at);
        at = end + 1;
        dump.lines.push_back(line);
        if (line == "end") {
            dump.wellFormed = at == text.size();
            if (!dump.wellFormed) dump.error = "bytes after end";
            return dump;
        }
        for (const char* label : {"stack:", "memory:"}) {
            std::string prefix = std::string(label) + " 0x";
            if (line.compare(0, prefix.size(), prefix) != 0) continue;
            DumpBlock block;
            block.label = label;
            char* next = nullptr;
            block.start = std::strtoull(line.c_str() + prefix.size() - 2, &next, 16);
            block.size = std::strtoull(next, nullptr, 16);
            if (at + block.size + 1 > text.size() || text[at + block.size] != '\n') {
                dump.error = "block size does not match: " + line;
                return dump;
            }
            block.bytes = text.substr(at, block.size);
            at += block.size + 1;
            dump.blocks.push_back(std::move(block));
        }
    }
    dump.error = "no end line";
    return dump;
}
