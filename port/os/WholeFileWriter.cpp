#include "port/os/WholeFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>

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

// Temporary files this process is writing now (full paths).
std::mutex gRunningMutex;
std::set<std::string> gRunning;

// One spelling of a path for the running set, however the folder was named.
std::string Key(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

void MarkRunning(const std::string& temporary, bool running) {
    const std::string key = Key(temporary);
    std::lock_guard<std::mutex> lock(gRunningMutex);
    if (running)
        gRunning.insert(key);
    else
        gRunning.erase(key);
}

// A number as the writer spells it: decimal digits, no leading zero.
bool Digits(const std::string& text) {
    if (text.empty() || text.size() > 18 || (text[0] == '0' && text.size() > 1)) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// The writing process of a temporary file name "<target>.<pid>-<n>.tmp"
// (*target: the target's name), or -1 when the name is not of that pattern.
long WriterOf(const std::string& name, std::string* target) {
    const std::string suffix = ".tmp";
    if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return -1;
    const std::string stem = name.substr(0, name.size() - suffix.size());
    const std::size_t dash = stem.rfind('-');
    const std::size_t dot = dash == std::string::npos ? std::string::npos : stem.rfind('.', dash);
    if (dot == std::string::npos || dot == 0) return -1;
    const std::string pid = stem.substr(dot + 1, dash - dot - 1);
    if (!Digits(pid) || !Digits(stem.substr(dash + 1))) return -1;
    *target = stem.substr(0, dot);
    return std::strtol(pid.c_str(), nullptr, 10);
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// True when the temporary file's writer can no longer finish it.
bool Abandoned(const std::string& path, long pid) {
    if (pid <= 0) return false;
    if (pid == static_cast<long>(::getpid())) {
        const std::string key = Key(path);
        std::lock_guard<std::mutex> lock(gRunningMutex);
        return gRunning.count(key) == 0;
    }
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// Removes the abandoned temporary files in `folder`: with `target` (a file
// name) those of that target, else those of targets named "<name><extension>".
std::vector<std::string> RemoveAbandoned(const std::string& folder, const std::string* target,
                                         const std::string& extension = "") {
    std::vector<std::string> removed;
    std::error_code error;
    std::filesystem::directory_iterator it(folder.empty() ? "." : folder, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().string();
        std::string of;
        const long pid = WriterOf(name, &of);
        if (pid < 0 || (target ? of != *target : of.size() <= extension.size() || !EndsWith(of, extension))) continue;
        std::error_code kind;
        if (!it->is_regular_file(kind) || it->is_symlink(kind)) continue;
        const std::string path = it->path().string();
        if (Abandoned(path, pid) && ::unlink(path.c_str()) == 0) removed.push_back(name);
    }
    return removed;
}

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
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    const std::string fileName = slash == std::string::npos ? target : target.substr(slash + 1);
    RemoveAbandoned(folder, &fileName);
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = target + "." + std::to_string(::getpid()) + "-" + std::to_string(gTemporaryCounter++) + ".tmp";
        // Marked while it is written, so that no other write in this process
        // takes it for a leftover.
        MarkRunning(temporary, true);
        fd = OpenRetrying(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            const int openError = errno;
            MarkRunning(temporary, false);
            errno = openError;
        }
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return Fail(error, "cannot write", path, std::strerror(errno));
    struct Unmark {
        const std::string& name;
        ~Unmark() { MarkRunning(name, false); }
    } unmark{temporary};
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

std::vector<std::string> RemoveLeftoverTemporaries(const std::string& folder, const std::string& extension) {
    return RemoveAbandoned(folder, nullptr, extension);
}

void SetWholeFileWriterCallsForTest(const WholeFileWriterCalls* calls) {
    gCalls = calls ? calls : &kSystemCalls;
}
