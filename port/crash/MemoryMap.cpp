#include "port/crash/MemoryMap.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace {
bool StartsWith(const char* text, std::size_t length, const char* prefix) {
    std::size_t n = std::strlen(prefix);
    return length >= n && std::memcmp(text, prefix, n) == 0;
}

// Parses a hexadecimal number at *at, advancing past it.
std::uintptr_t ReadHex(const char*& at, const char* end) {
    std::uintptr_t value = 0;
    while (at < end) {
        char c = *at;
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            break;
        value = value * 16 + static_cast<std::uintptr_t>(digit);
        ++at;
    }
    return value;
}

void SkipField(const char*& at, const char* end) {
    while (at < end && *at != ' ') ++at;
    while (at < end && *at == ' ') ++at;
}
}  // namespace

bool MemoryRegion::Dumpable() const {
    if (!readable) return false;
    if (StartsWith(path, pathLength, "[vvar]") || StartsWith(path, pathLength, "[vsyscall]")) return false;
    return !StartsWith(path, pathLength, "/dev/");
}

bool MemoryMap::Load() {
    textLength_ = 0;
    count_ = 0;
    truncated_ = false;
    int fd;
    do {
        fd = ::open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return false;
    for (;;) {
        if (textLength_ == kTextCapacity) {
            truncated_ = true;
            break;
        }
        ssize_t got = ::read(fd, text_ + textLength_, kTextCapacity - textLength_);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        textLength_ += static_cast<std::size_t>(got);
    }
    ::close(fd);
    Parse();
    return true;
}

void MemoryMap::Parse() {
    const char* at = text_;
    const char* end = text_ + textLength_;
    while (at < end && count_ < kRegionCapacity) {
        const char* lineEnd = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
        if (lineEnd == nullptr) break;  // a cut last line is left out
        MemoryRegion& region = regions_[count_];
        region = MemoryRegion{};
        region.line = at;
        region.lineLength = static_cast<std::size_t>(lineEnd - at);
        const char* p = at;
        region.start = ReadHex(p, lineEnd);
        if (p < lineEnd && *p == '-') ++p;
        region.end = ReadHex(p, lineEnd);
        while (p < lineEnd && *p == ' ') ++p;
        region.readable = p < lineEnd && *p == 'r';
        region.writable = p + 1 < lineEnd && p[1] == 'w';
        SkipField(p, lineEnd);  // permissions
        region.fileOffset = ReadHex(p, lineEnd);
        SkipField(p, lineEnd);  // the blanks after the offset
        SkipField(p, lineEnd);  // device
        SkipField(p, lineEnd);  // inode
        region.path = p;
        region.pathLength = static_cast<std::size_t>(lineEnd - p);
        if (region.end > region.start) ++count_;
        at = lineEnd + 1;
    }
}

const MemoryRegion* MemoryMap::Find(std::uintptr_t address) const {
    // The kernel lists the regions in ascending address order.
    std::size_t low = 0;
    std::size_t high = count_;
    while (low < high) {
        std::size_t mid = low + (high - low) / 2;
        const MemoryRegion& region = regions_[mid];
        if (address < region.start)
            high = mid;
        else if (address >= region.end)
            low = mid + 1;
        else
            return &region;
    }
    return nullptr;
}
