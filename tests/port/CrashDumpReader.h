// Test support: reads a crash-dump file of the engine's format back into its
// text lines and memory blocks, and reports where the format is broken.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct DumpBlock {
    std::string label;  // "stack:" or "memory:"
    std::uint64_t start = 0;
    std::uint64_t size = 0;
    std::string bytes;
};

struct ParsedDump {
    bool wellFormed = false;
    std::string error;
    std::vector<std::string> lines;  // every text line, without blocks' bytes
    std::vector<DumpBlock> blocks;

    bool HasLine(const std::string& line) const;
    bool HasLineStartingWith(const std::string& prefix) const;
    // The value after "key: " of the first such line, or "".
    std::string Value(const std::string& key) const;
};

ParsedDump ParseDump(const std::string& text);
