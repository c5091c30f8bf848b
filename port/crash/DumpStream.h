// Buffered text and raw memory output to one crash-dump file. Uses only
// write(2) and no allocation, so the crash handler can use it on a signal
// stack. Owned by the code writing one dump; one thread.
#pragma once
#include <cstddef>
#include <cstdint>

class DumpStream {
public:
    explicit DumpStream(int fd) : fd_(fd) {}
    ~DumpStream() { Flush(); }
    DumpStream(const DumpStream&) = delete;
    DumpStream& operator=(const DumpStream&) = delete;

    DumpStream& Text(const char* text);
    DumpStream& Text(const char* text, std::size_t length);
    DumpStream& Decimal(std::int64_t value);
    // "0x" and 16 hex digits.
    DumpStream& Hex(std::uint64_t value);
    // Copies [address, address + size) from this process's memory. Bytes
    // that cannot be read are written as zeros, so the block keeps its size.
    void Memory(std::uintptr_t address, std::size_t size);
    void Flush();
    // True once a write was refused (a full disk): what followed is lost.
    bool Failed() const { return failed_; }

private:
    void Raw(const char* data, std::size_t size);

    int fd_;
    char buffer_[4096];
    std::size_t used_ = 0;
    bool failed_ = false;
};
