// The program's one log file ("Application" channel in the "log" asset folder),
// written by a writer thread of the Logger's own. Any thread-safe-by-convention
// caller on the main thread appends rows; the Engine hands them to the writer
// once per frame (FlushFrame). Engine-wide service owned by the program entry.
#pragma once
#include <string>

#include "engine/Singleton.h"
#include "engine/Types.h"

class Logger : public Singleton<Logger> {
public:
    // logFolder: the "log" asset folder's path (relative to the working
    // directory); extension: the folder's file extension (e.g. ".log").
    Logger(const std::string& logFolder, const std::string& extension);
    ~Logger();

    // Queues one row; no length limit; an empty message still gives a row.
    void QueueLine(const std::string& message);
    // One hand-over pass of queued rows to the writer thread (limit 10 per frame).
    void FlushFrame(int limit);
    // Frame counter printed in the first column; the Engine advances it.
    void IncrementFrame();
    u32 FrameCounter() const;

private:
    struct Impl;
    Impl* impl_;
};

// printf-style: formats into a 300-byte buffer (at most 299 characters) and
// queues the result as one row; an empty result queues nothing. Does nothing
// while no Logger exists.
void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));
