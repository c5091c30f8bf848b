// The log's writer thread: the Logger hands it one channel at a time and the
// thread appends all of that channel's queued rows to its file with plain
// blocking writes. Owned by the Logger; started by the constructor, stopped
// and joined (never killed) by Stop() or the destructor. The hand-over state
// lives under one mutex with a condition variable, so no wake-up is lost, and
// it is private to this object: another process's log is never touched.
#pragma once
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

class LogChannel;

class LogWriter {
public:
    LogWriter();
    ~LogWriter();
    LogWriter(const LogWriter&) = delete;
    LogWriter& operator=(const LogWriter&) = delete;

    // Hands the channel to the thread unless a batch is still outstanding;
    // returns whether it was handed over. Main thread.
    bool TryHandOver(LogChannel* channel);
    bool BatchOutstanding() const;
    // Blocks until no batch is outstanding.
    void WaitIdle();
    // Lets the thread finish the batch it was handed, then ends and joins it.
    void Stop();
    bool Running() const { return thread_.joinable(); }

    // Takes every queued row of the channel and appends them to its file.
    // Used by the thread, and by the Logger after Stop() for late rows.
    static void WriteBatch(LogChannel& channel, std::string& scratch);

    // Tests only: called on the writer thread before each batch.
    static void SetBeforeBatchHookForTest(void (*hook)());

private:
    void Run();

    std::mutex stopMutex_;  // one Stop at a time
    mutable std::mutex mutex_;
    std::condition_variable wake_;  // the thread waits here for work or stop
    std::condition_variable idle_;  // waiters for the end of a batch
    LogChannel* handed_ = nullptr;  // set by TryHandOver, cleared when written
    bool stop_ = false;
    std::thread thread_;
};
