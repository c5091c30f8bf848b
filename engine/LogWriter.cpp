#include "engine/LogWriter.h"

#include <atomic>

#include "engine/LogChannel.h"
#include "port/crash/CrashHandler.h"

namespace {
std::atomic<void (*)()> gBeforeBatchHook{nullptr};
}

LogWriter::LogWriter() : thread_([this] { Run(); }) {}

LogWriter::~LogWriter() {
    Stop();
}

bool LogWriter::TryHandOver(LogChannel* channel) {
    {
        std::lock_guard<std::mutex> hold(mutex_);
        if (handed_ != nullptr || stop_) return false;
        handed_ = channel;
    }
    wake_.notify_one();
    return true;
}

bool LogWriter::BatchOutstanding() const {
    std::lock_guard<std::mutex> hold(mutex_);
    return handed_ != nullptr;
}

void LogWriter::WaitIdle() {
    std::unique_lock<std::mutex> hold(mutex_);
    idle_.wait(hold, [this] { return handed_ == nullptr || !thread_.joinable(); });
}

void LogWriter::Stop() {
    // The quit-signal watcher may stop the writer while the main thread does.
    std::lock_guard<std::mutex> stopping(stopMutex_);
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> hold(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
    std::lock_guard<std::mutex> hold(mutex_);
    handed_ = nullptr;
    idle_.notify_all();
}

void LogWriter::WriteBatch(LogChannel& channel, std::string& scratch) {
    channel.TakePending(scratch);
    if (scratch.empty()) return;
    // A failed write loses this batch only.
    if (const u32 error = channel.File().WriteAll(scratch.data(), scratch.size())) channel.ReportWriteFailure(error);
}

void LogWriter::SetBeforeBatchHookForTest(void (*hook)()) {
    gBeforeBatchHook.store(hook);
}

void LogWriter::Run() {
    InstallThreadCrashStack();
    std::string scratch;
    std::unique_lock<std::mutex> hold(mutex_);
    for (;;) {
        wake_.wait(hold, [this] { return handed_ != nullptr || stop_; });
        if (handed_ == nullptr) break;  // stop requested and nothing left to write
        LogChannel* channel = handed_;
        hold.unlock();
        if (void (*hook)() = gBeforeBatchHook.load()) hook();
        WriteBatch(*channel, scratch);
        hold.lock();
        handed_ = nullptr;
        idle_.notify_all();
    }
}
