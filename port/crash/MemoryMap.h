// The process's memory mappings as /proc/self/maps lists them, read into
// fixed storage so that the crash handler can use it without allocating.
// One instance, filled by the thread that reports a crash; not thread-safe.
#pragma once
#include <cstddef>
#include <cstdint>

struct MemoryRegion {
    std::uintptr_t start = 0;
    std::uintptr_t end = 0;  // one past the last byte
    std::uintptr_t fileOffset = 0;
    bool readable = false;
    bool writable = false;
    const char* line = nullptr;  // the region's text line (without its LF)
    std::size_t lineLength = 0;
    const char* path = nullptr;  // module path or "[stack]"...; "" for anonymous memory
    std::size_t pathLength = 0;

    std::size_t Size() const { return end - start; }
    // Readable, and not a kernel or device mapping whose reading is unsafe.
    bool Dumpable() const;
};

class MemoryMap {
public:
    // Reads /proc/self/maps (open/read only). Returns false when it cannot.
    bool Load();
    // The text as read (truncated when larger than the storage).
    const char* Text() const { return text_; }
    std::size_t TextLength() const { return textLength_; }
    bool Truncated() const { return truncated_; }

    std::size_t Count() const { return count_; }
    const MemoryRegion& Region(std::size_t i) const { return regions_[i]; }
    // The region that holds the address, or null.
    const MemoryRegion* Find(std::uintptr_t address) const;

private:
    void Parse();

    static constexpr std::size_t kTextCapacity = 1 << 20;
    static constexpr std::size_t kRegionCapacity = 8192;
    char text_[kTextCapacity];
    std::size_t textLength_ = 0;
    bool truncated_ = false;
    MemoryRegion regions_[kRegionCapacity];
    std::size_t count_ = 0;
};
