#include "port/os/WholeFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {
ssize_t SystemWrite(int fd, const void* data, std::size_t size) {
    return ::write(fd, data, size);
}
int SystemFsync(int fd) {
    return ::fsync(fd);
}
int SystemClose(int fd) {
    return ::close(fd);
}
int SystemRename(const char* from, const char* to) {
    return ::rename(from, to);
}

const WholeFileWriterCalls kSystemCalls{&SystemWrite, &SystemFsync, &SystemClose, &SystemRename};
const WholeFileWriterCalls* gCalls = &kSystemCalls;
std::atomic<unsigned> gTemporaryCounter{0};

bool Fail(std::string* error, const char* what, const std::string& path, const std::string& why) {
    if (error) *error = std::string(what) + " " + path + ": " + why;
    return false;
}

// Every byte, retrying short and interrupted writes. 0 or errno.
int WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = gCalls->write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno != 0 ? errno : EIO;
        }
        if (written == 0) return ENOSPC;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return 0;
}

int OpenRetrying(const char* path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(path, flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// After a rename the folder's entry is on disk only once the folder is
// synced. The new file is already in place, so a failure here changes nothing.
void SyncFolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int fd = OpenRetrying(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// A character device or FIFO: opened without creating or truncating, and
// without blocking (a FIFO nobody reads is refused, not waited for).
bool WriteInPlace(const std::string& path, bool fifo, const char* data, std::size_t size, std::string* error) {
    const int fd = OpenRetrying(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int openError = errno;
        return Fail(error, "cannot write", path,
                    fifo && openError == ENXIO ? "no process reads this pipe" : std::strerror(openError));
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !(S_ISCHR(opened.st_mode) || S_ISFIFO(opened.st_mode))) {
        ::close(fd);
        return Fail(error, "cannot write", path, "it changed into a file while it was opened");
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    int failure = WriteAll(fd, data, size);
    if (gCalls->close(fd) != 0 && failure == 0) failure = errno;
    if (failure != 0) return Fail(error, "cannot write", path, std::strerror(failure));
    return true;
}

// Writes a temporary file beside `target` and renames it over `target`.
// `old`: the file being replaced (its permissions are kept), or null.
bool Replace(const std::string& path, const std::string& target, const struct stat* old, const char* data,
             std::size_t size, std::string* error) {
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = target + "." + std::to_string(::getpid()) + "-" + std::to_string(gTemporaryCounter++) + ".tmp";
        fd = OpenRetrying(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return Fail(error, "cannot write", path, std::strerror(errno));
    if (old) ::fchmod(fd, old->st_mode & 07777);
    int failure = WriteAll(fd, data, size);
    if (failure == 0 && gCalls->fsync(fd) != 0) failure = errno;
    if (gCalls->close(fd) != 0 && failure == 0) failure = errno;
    if (failure != 0) {
        ::unlink(temporary.c_str());
        return Fail(error, "cannot write", path, std::strerror(failure));
    }
    if (gCalls->rename(temporary.c_str(), target.c_str()) != 0) {
        const int renameError = errno;
        ::unlink(temporary.c_str());
        return Fail(error, "cannot replace", path, std::strerror(renameError));
    }
    SyncFolderOf(target);
    return true;
}

const char* KindName(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    return "a special file";
}
}  // namespace

bool WriteWholeFile(const std::string& path, const void* data, std::size_t size, std::string* error) {
    const char* bytes = static_cast<const char*>(data);
    if (path.empty()) return Fail(error, "cannot write", "\"\"", "no file name");
    struct stat target {};
    if (::stat(path.c_str(), &target) != 0) {
        const int statError = errno;
        struct stat link {};
        if (statError != ENOENT) return Fail(error, "cannot write", path, std::strerror(statError));
        if (::lstat(path.c_str(), &link) == 0)
            return Fail(error, "cannot write", path, "a link to nothing is not replaced");
        return Replace(path, path, nullptr, bytes, size, error);
    }
    if (S_ISREG(target.st_mode)) {
        struct stat link {};
        if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
            return Replace(path, path, &target, bytes, size, error);
        char* resolved = ::realpath(path.c_str(), nullptr);
        if (!resolved) return Fail(error, "cannot write", path, std::strerror(errno));
        const std::string real = resolved;
        std::free(resolved);
        return Replace(path, real, &target, bytes, size, error);
    }
    if (S_ISCHR(target.st_mode) || S_ISFIFO(target.st_mode))
        return WriteInPlace(path, S_ISFIFO(target.st_mode), bytes, size, error);
    return Fail(error, "cannot write", path, std::string(KindName(target.st_mode)) + " is not replaced by a file");
}

void SetWholeFileWriterCallsForTest(const WholeFileWriterCalls* calls) {
    gCalls = calls ? calls : &kSystemCalls;
}
