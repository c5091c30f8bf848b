#include "engine/LogChannel.h"

#include <charconv>
#include <cstdio>
#include <cstring>

#include "port/os/OsClock.h"

namespace {
// Appends the unsigned decimal text of value and a TAB.
void AppendColumn(std::string& out, u32 value) {
    char digits[16];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
    out.push_back('\t');
}
}  // namespace

LogChannel::LogChannel(const std::string& name) : name_(name), startTime_(MillisecondTimer()) {}

u32 LogChannel::Open(const std::string& path) {
    path_ = path;
    u32 error = file_.CreateForAppend(path);
    startTime_ = MillisecondTimer();
    return error;
}

void LogChannel::Append(std::string_view text) {
    std::lock_guard<std::mutex> hold(lock_);
    pending_.append(text);
    pending_.push_back('\n');
    queuedBytes_ += text.size() + 1;
}

void LogChannel::AppendRow(u32 frame, u32 threadId, std::string_view message) {
    std::lock_guard<std::mutex> hold(lock_);
    if (cut_) {
        ++droppedRows_;
        return;
    }
    // The columns take at most 4 x 11 bytes; the row ends with two line ends.
    const u64 rowBytes = 44 + name_.size() + 1 + message.size() + 2;
    if (queuedBytes_ + rowBytes > sizeBound_) {
        cut_ = true;
        ++droppedRows_;
        AppendRowLocked(frame, threadId,
                        "Log cut: the file reached its bound of " + std::to_string(sizeBound_) +
                            " bytes; later rows are dropped and counted at shutdown");
        return;
    }
    AppendRowLocked(frame, threadId, message);
}

void LogChannel::AppendDroppedCount(u32 frame, u32 threadId) {
    std::lock_guard<std::mutex> hold(lock_);
    if (droppedRows_ == 0) return;
    AppendRowLocked(frame, threadId,
                    "Log cut: " + std::to_string(droppedRows_) + " rows were dropped past the bound of " +
                        std::to_string(sizeBound_) + " bytes");
}

void LogChannel::SetSizeBound(u64 bytes) {
    std::lock_guard<std::mutex> hold(lock_);
    sizeBound_ = bytes;
}

u64 LogChannel::DroppedRows() const {
    std::lock_guard<std::mutex> hold(lock_);
    return droppedRows_;
}

void LogChannel::AppendRowLocked(u32 frame, u32 threadId, std::string_view message) {
    const u32 elapsed = MillisecondTimer() - startTime_;  // wraps like the 32-bit timer
    const std::size_t before = pending_.size();
    AppendColumn(pending_, frame);
    AppendColumn(pending_, elapsed);
    AppendColumn(pending_, threadId);
    AppendColumn(pending_, id_);
    pending_.append(name_);
    pending_.push_back('\t');
    pending_.append(message);
    pending_.append("\n\n", 2);
    queuedBytes_ += pending_.size() - before;
}

bool LogChannel::HasPending() const {
    std::lock_guard<std::mutex> hold(lock_);
    return !pending_.empty();
}

void LogChannel::TakePending(std::string& out) {
    out.clear();
    std::lock_guard<std::mutex> hold(lock_);
    out.swap(pending_);
}

void LogChannel::ReportWriteFailure(u32 error) {
    if (failureReported_.exchange(true)) return;
    std::fprintf(stderr, "Log: cannot write %s (%s); its rows are being lost\n", path_.c_str(),
                 std::strerror(static_cast<int>(error)));
}
