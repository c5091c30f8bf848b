// One log file and the rows queued for it. Owned by the Logger for its whole
// life. Any thread appends rows under the channel's lock; the log writer
// thread takes them all at once and appends them to the file. The file has a
// size bound: the row that would pass it is replaced by one row saying the
// log was cut, and later rows are dropped and counted.
#pragma once
#include <atomic>
#include <mutex>
#include <string>
#include <string_view>

#include "core/Types.h"
#include "port/os/OsFile.h"

class LogChannel {
public:
    // The default bound of a log file, in bytes.
    static constexpr u64 kDefaultSizeBound = 256ull << 20;

    explicit LogChannel(const std::string& name);
    LogChannel(const LogChannel&) = delete;
    LogChannel& operator=(const LogChannel&) = delete;

    // Creates the file anew (an old log is truncated) and starts the channel's
    // clock. Returns 0 or the errno-style code of the failure.
    u32 Open(const std::string& path);

    // Appends one row: its text, then the line end that separates rows.
    void Append(std::string_view text);
    // Appends a row of the standard columns: frame, ms since Open, thread id,
    // channel id, channel name, message.
    void AppendRow(u32 frame, u32 threadId, std::string_view message);
    // Appends the row that counts the rows dropped past the bound (nothing
    // when none were); it may pass the bound. Called once, at shutdown.
    void AppendDroppedCount(u32 frame, u32 threadId);
    void SetSizeBound(u64 bytes);
    u64 DroppedRows() const;
    bool HasPending() const;
    // Moves every queued byte into out (emptied first), leaving the queue empty.
    void TakePending(std::string& out);
    // A write of the file failed with the errno-style code: the first time,
    // one line naming the file goes to stderr (the log cannot hold it); later
    // failures are silent.
    void ReportWriteFailure(u32 error);

    u32 Id() const { return id_; }
    const std::string& Name() const { return name_; }
    OsFile& File() { return file_; }

private:
    // Appends one standard row; the caller holds the lock.
    void AppendRowLocked(u32 frame, u32 threadId, std::string_view message);

    OsFile file_;
    u32 id_ = 0;
    std::string name_;
    std::string path_;                          // set by Open
    std::atomic<bool> failureReported_{false};  // the writer thread, or the Logger after it stopped
    u32 startTime_ = 0;                         // MillisecondTimer() when opened
    std::string pending_;                       // queued rows, each already followed by its line end
    u64 sizeBound_ = kDefaultSizeBound;         // bytes the file may reach
    u64 queuedBytes_ = 0;                       // bytes queued since Open (written or pending)
    u64 droppedRows_ = 0;                       // rows left out past the bound
    bool cut_ = false;                          // the bound was reached: rows are dropped
    mutable std::mutex lock_;
};
