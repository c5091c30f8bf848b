#include "port/os/WholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

const char* KindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    return "a special file";
}

}  // namespace

int OpenRegularFile(const std::string& path, std::size_t limit, FileRead* result, int* errorNumber) {
    int ignored = 0;
    int& error = errorNumber ? *errorNumber : ignored;
    error = 0;
    *result = FileRead::Ok;
    // Non-blocking, so that opening a FIFO with no writer returns at once.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        error = errno;
        *result = FileRead::CannotOpen;
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        error = errno;
        *result = FileRead::CannotRead;
    } else if (!S_ISREG(info.st_mode)) {
        error = ENODEV;
        *result = FileRead::NotRegular;
    } else if (limit != 0 && static_cast<unsigned long long>(info.st_size) > limit) {
        error = EFBIG;
        *result = FileRead::TooLarge;
    } else {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags != -1) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
        return fd;
    }
    ::close(fd);
    return -1;
}

FileRead ReadWholeFile(const std::string& path, std::size_t limit, std::string* bytes, int* errorNumber) {
    int ignored = 0;
    int& error = errorNumber ? *errorNumber : ignored;
    bytes->clear();
    FileRead result = FileRead::Ok;
    const int fd = OpenRegularFile(path, limit, &result, &error);
    if (fd < 0) return result;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && info.st_size > 0) bytes->reserve(static_cast<std::size_t>(info.st_size));
    // The size is read again as the file is read: a file that grows past the
    // limit meanwhile is refused all the same.
    char chunk[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR) continue;
            error = errno;
            result = FileRead::CannotRead;
            break;
        }
        if (got == 0) break;
        if (limit != 0 && static_cast<std::size_t>(got) > limit - std::min(limit, bytes->size())) {
            error = EFBIG;
            result = FileRead::TooLarge;
            break;
        }
        bytes->append(chunk, static_cast<std::size_t>(got));
    }
    ::close(fd);
    if (result != FileRead::Ok) bytes->clear();
    return result;
}

std::string ByteCountText(std::size_t bytes) {
    if (bytes != 0 && bytes % (std::size_t(1) << 30) == 0) return std::to_string(bytes >> 30) + " GiB";
    if (bytes != 0 && bytes % (std::size_t(1) << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
    if (bytes != 0 && bytes % (std::size_t(1) << 10) == 0) return std::to_string(bytes >> 10) + " KiB";
    return std::to_string(bytes) + " bytes";
}

std::string FileReadErrorText(FileRead result, const std::string& path, std::size_t limit, int errorNumber) {
    switch (result) {
        case FileRead::Ok:
            return path + ": read";
        case FileRead::CannotOpen:
            return path + ": cannot be opened (" + std::strerror(errorNumber) + ")";
        case FileRead::CannotRead:
            return path + ": cannot be read (" + std::strerror(errorNumber) + ")";
        case FileRead::TooLarge:
            return path + " is larger than " + ByteCountText(limit) + ", the most read for this kind of file";
        case FileRead::NotRegular: {
            struct stat info {};
            const char* kind = ::stat(path.c_str(), &info) == 0 ? KindOf(info.st_mode) : "a special file";
            return path + " is " + kind + ", not a regular file";
        }
    }
    return path + ": cannot be read";
}
