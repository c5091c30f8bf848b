#include "port/crash/DumpStream.h"

#include <sys/syscall.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace {
// The raw system call: the kernel reports unreadable source memory as EFAULT
// instead of faulting, and sanitizer interceptors do not inspect the bytes.
long RawWrite(int fd, const void* data, std::size_t size) {
    return ::syscall(SYS_write, fd, data, size);
}

const char kZeros[4096] = {};
}  // namespace

DumpStream& DumpStream::Text(const char* text) {
    return Text(text, std::strlen(text));
}

DumpStream& DumpStream::Text(const char* text, std::size_t length) {
    while (length > 0) {
        if (used_ == sizeof buffer_) Flush();
        std::size_t n = sizeof buffer_ - used_;
        if (n > length) n = length;
        std::memcpy(buffer_ + used_, text, n);
        used_ += n;
        text += n;
        length -= n;
    }
    return *this;
}

DumpStream& DumpStream::Decimal(std::int64_t value) {
    char digits[24];
    int n = 0;
    std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    do {
        digits[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) digits[n++] = '-';
    char text[24];
    for (int i = 0; i < n; ++i) text[i] = digits[n - 1 - i];
    return Text(text, static_cast<std::size_t>(n));
}

DumpStream& DumpStream::Hex(std::uint64_t value) {
    char text[18] = {'0', 'x'};
    for (int i = 0; i < 16; ++i) text[17 - i] = "0123456789abcdef"[(value >> (4 * i)) & 0xF];
    return Text(text, sizeof text);
}

void DumpStream::Flush() {
    Raw(buffer_, used_);
    used_ = 0;
}

void DumpStream::Raw(const char* data, std::size_t size) {
    while (size > 0 && !failed_) {
        long written = RawWrite(fd_, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            failed_ = true;  // the disk refuses: the rest is lost
            return;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

void DumpStream::Memory(std::uintptr_t address, std::size_t size) {
    Flush();
    while (size > 0 && !failed_) {
        // Never cross a page boundary, so one unreadable page costs one chunk.
        std::size_t toPageEnd = sizeof kZeros - (address & (sizeof kZeros - 1));
        std::size_t chunk = size < toPageEnd ? size : toPageEnd;
        long written = RawWrite(fd_, reinterpret_cast<const void*>(address), chunk);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0 && errno == EFAULT) {
            Raw(kZeros, chunk);
            written = static_cast<long>(chunk);
        } else if (written <= 0) {
            failed_ = true;
            return;
        }
        address += static_cast<std::uintptr_t>(written);
        size -= static_cast<std::size_t>(written);
    }
}
