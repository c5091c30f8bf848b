// Writes a whole file in one call: the one writer of the program and its tools
// (scenes, archetypes, models, pictures, textures). A regular file, or a path
// where nothing is yet, is written to a temporary file beside it, synced and
// renamed over the target only when every write, the sync and the close
// succeeded; on any failure the temporary file is removed and the old file
// stays as it was. A symbolic link to a regular file keeps the link: the file
// it names is replaced. Streams (a character device such as /dev/stdout or
// /dev/null, a FIFO with a reader), directly or through links, are written in
// place and never renamed over. Anything else (a folder, a block device, a
// socket, a link to nothing, a FIFO nobody reads) is refused. Stateless; any
// thread.
#pragma once
#include <sys/types.h>
#include <cstddef>
#include <string>
#include <vector>

// The temporary file is named after the target: "<name>.<pid>-<n>.tmp", the
// numbers in decimal without leading zeros. One left behind by a writer that
// was killed is removed by the next write of the same target, or by
// RemoveLeftoverTemporaries.

// Writes `size` bytes to `path` by the rule above. False with the reason,
// naming `path`, in *error (optional).
bool WriteWholeFile(const std::string& path, const void* data, std::size_t size, std::string* error);
inline bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string* error) {
    return WriteWholeFile(path, bytes.data(), bytes.size(), error);
}

// Removes the temporary files of the writer's own pattern in `folder` whose
// target's name ends in `extension` (after at least one byte more) and whose
// writer is gone (its process ended, or it is this process and the write is
// not running); other files are left alone. Returns the names removed.
std::vector<std::string> RemoveLeftoverTemporaries(const std::string& folder, const std::string& extension);

// The system calls the writer makes where a disk can fail it. Tests replace
// them to make one step fail; the program never does.
struct WholeFileWriterCalls {
    ssize_t (*write)(int fd, const void* data, std::size_t size);
    int (*fsync)(int fd);
    int (*close)(int fd);
    int (*rename)(const char* from, const char* to);
};
// Null restores the system's calls. Not to be called while a write runs.
void SetWholeFileWriterCallsForTest(const WholeFileWriterCalls* calls);
