#include "port/os/OsFile.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>

std::uint32_t WriteAllToDescriptor(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return static_cast<std::uint32_t>(errno);
        }
        if (written == 0) return static_cast<std::uint32_t>(EIO);
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return 0;
}

OsFile::~OsFile() {
    Close();
}

std::uint32_t OsFile::CreateForAppend(const std::string& path) {
    Close();
    int fd;
    do {
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return static_cast<std::uint32_t>(errno);
    fd_ = fd;
    return 0;
}

std::uint32_t OsFile::WriteAll(const char* data, std::size_t size) {
    if (fd_ < 0) return static_cast<std::uint32_t>(EBADF);
    return WriteAllToDescriptor(fd_, data, size);
}

void OsFile::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}
