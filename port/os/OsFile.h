// A file opened for appending with plain POSIX writes. Owned by whoever opens
// it (the log's channel); closed by Close() or the destructor. One writer
// thread at a time; the descriptor itself may be handed between threads.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

class OsFile {
public:
    OsFile() = default;
    ~OsFile();
    OsFile(const OsFile&) = delete;
    OsFile& operator=(const OsFile&) = delete;

    // Creates the file anew (an old one is truncated) for appending.
    // Returns 0 or the errno-style code of the failure.
    std::uint32_t CreateForAppend(const std::string& path);
    // Writes every byte, retrying short and interrupted writes. Returns 0 or
    // the errno-style code of the failure (bytes before it are in the file).
    std::uint32_t WriteAll(const char* data, std::size_t size);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// Writes every byte to a descriptor, retrying short and interrupted writes.
// Async-signal-safe. Returns 0 or errno.
std::uint32_t WriteAllToDescriptor(int fd, const char* data, std::size_t size);
