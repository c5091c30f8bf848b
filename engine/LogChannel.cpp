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
}

void LogChannel::AppendRow(u32 frame, u32 threadId, std::string_view message) {
    u32 elapsed = MillisecondTimer() - startTime_;  // wraps like the 32-bit timer
    std::lock_guard<std::mutex> hold(lock_);
    AppendColumn(pending_, frame);
    AppendColumn(pending_, elapsed);
    AppendColumn(pending_, threadId);
    AppendColumn(pending_, id_);
    pending_.append(name_);
    pending_.push_back('\t');
    pending_.append(message);
    pending_.append("\n\n", 2);
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
