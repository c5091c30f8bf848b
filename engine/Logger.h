// The program's one log file: the "Application" channel in the "log" asset
// folder, written by a writer thread of the Logger's own. Any thread may queue
// rows (in this program only the main thread does); the Engine hands them to
// the writer once per frame (FlushFrame) and counts frames. Engine-wide
// service owned by the program entry; its destructor writes every row still
// queued before it closes the file.
#pragma once
#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/Singleton.h"
#include "core/Types.h"
#include "engine/LogChannel.h"
#include "engine/LogWriter.h"

class Logger : public Singleton<Logger> {
public:
    // logFolder: the "log" asset folder's path relative to the working
    // directory, ending with its separator (empty: the working directory);
    // extension: the folder's file extension with its dot (".log").
    // Creates the folder when missing and the "Application" channel; throws
    // the errno-style code (u32) when the folder or the file cannot be made.
    Logger(const std::string& logFolder, const std::string& extension);
    ~Logger();

    // Queues one row; no length limit; an empty message still gives a row.
    void QueueLine(const std::string& message);
    // Opens a channel (a file in the log folder) and files it under the key 0.
    LogChannel* AddChannel(const std::string& name);
    // One hand-over pass of queued rows to the writer thread; makes at most
    // limit + 1 attempts and sleeps 1 ms per attempt while a batch is still
    // being written (the rows then stay queued for the next frame).
    void FlushFrame(int limit);
    // Writes every queued row, stops and joins the writer and closes the
    // files. Called by the destructor; later rows are dropped.
    void Shutdown();
    // The size bound of every channel's file, in bytes (LogChannel's default
    // until set): past it one row says the log was cut and later rows are
    // dropped, counted in a last row at shutdown.
    void SetSizeBound(u64 bytes);
    // For a process about to end at once (a quit signal during start-up):
    // queues `lastRow`, stops the writer and writes every queued row from the
    // calling thread, which may be any. Rows queued later stay unwritten.
    void WriteQueuedNow(const std::string& lastRow);

    // Frame counter printed in the first column; the Engine advances it.
    void IncrementFrame() { frameCounter_.fetch_add(1); }
    u32 FrameCounter() const { return frameCounter_.load(); }

    // Full path of a channel's file: folder + name + extension.
    std::string ChannelPath(const std::string& name) const;

private:
    LogChannel* CurrentChannel();

    std::atomic<u32> frameCounter_{0};
    std::string folder_;
    std::string extension_;
    std::vector<std::unique_ptr<LogChannel>> owned_;  // every channel, in opening order
    std::map<u32, LogChannel*> channels_;             // lookup table; every channel is key 0
    LogChannel* defaultChannel_ = nullptr;
    std::atomic<bool> shutDown_{false};  // read by logging threads
    LogWriter writer_;                   // declared last: stopped and joined before the channels go
};

// printf-style: formats into a 300-byte buffer, so at most 299 characters (a
// longer result is cut), and queues it as one row; an empty result queues
// nothing. Does nothing while no Logger exists.
void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));
