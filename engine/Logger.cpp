#include "engine/Logger.h"

#include <cstdarg>
#include <cstdio>

#include "port/os/Folders.h"
#include "port/os/MessageBox.h"
#include "port/os/OsClock.h"

namespace {
const char* const kApplicationChannel = "Application";

// Unattended message boxes are recorded as rows.
void LogMessageBox(const char* text, const char* caption) {
    Logger* logger = Logger::Instance();
    if (logger == nullptr) return;
    std::string row = caption;
    if (!row.empty()) row += ": ";
    row += text;
    logger->QueueLine(row);
}
}  // namespace

Logger::Logger(const std::string& logFolder, const std::string& extension) : folder_(logFolder), extension_(extension) {
    if (u32 error = CreateFolderIfMissing(folder_)) throw error;
    defaultChannel_ = AddChannel(kApplicationChannel);
    SetMessageBoxLogSink(&LogMessageBox);
}

Logger::~Logger() {
    SetMessageBoxLogSink(nullptr);
    Shutdown();
}

std::string Logger::ChannelPath(const std::string& name) const {
    return folder_ + name + extension_;
}

LogChannel* Logger::AddChannel(const std::string& name) {
    auto channel = std::make_unique<LogChannel>(name);
    if (u32 error = channel->Open(ChannelPath(name))) throw error;
    LogChannel* raw = channel.get();
    owned_.push_back(std::move(channel));
    channels_[0] = raw;
    raw->Append("========Initialized log for: " + name +
                "========\r\n"
                "Format: \r\n: frameCounter\ttime\tGetCurrentThreadId()\tSysGuid\tSysName\tmessage\n");
    writer_.TryHandOver(raw);
    return raw;
}

LogChannel* Logger::CurrentChannel() {
    auto found = channels_.find(0);
    return found != channels_.end() ? found->second : defaultChannel_;
}

void Logger::QueueLine(const std::string& message) {
    if (shutDown_) return;
    CurrentChannel()->AppendRow(FrameCounter(), CurrentThreadId(), message);
}

void Logger::FlushFrame(int limit) {
    int attempts = 0;
    size_t index = 0;
    while (index < owned_.size() && attempts <= limit) {
        LogChannel* channel = owned_[index].get();
        if (!channel->HasPending() || writer_.TryHandOver(channel)) {
            ++index;
        } else {
            SleepMilliseconds(1);
        }
        ++attempts;
    }
}

void Logger::SetSizeBound(u64 bytes) {
    for (auto& channel : owned_) channel->SetSizeBound(bytes);
}

void Logger::Shutdown() {
    if (shutDown_) return;
    for (auto& channel : owned_) channel->AppendDroppedCount(FrameCounter(), CurrentThreadId());
    for (auto& channel : owned_) {
        if (!channel->HasPending()) continue;
        writer_.WaitIdle();
        writer_.TryHandOver(channel.get());
    }
    writer_.Stop();
    shutDown_ = true;
    // Rows another thread queued while the writer was ending.
    std::string scratch;
    for (auto& channel : owned_) {
        LogWriter::WriteBatch(*channel, scratch);
        channel->File().Close();
    }
}

void Logger::WriteQueuedNow(const std::string& lastRow) {
    QueueLine(lastRow);
    // Once the writer has stopped nothing else writes to the files.
    writer_.Stop();
    std::string scratch;
    for (auto& channel : owned_) LogWriter::WriteBatch(*channel, scratch);
}

void Log(const char* format, ...) {
    Logger* logger = Logger::Instance();
    if (logger == nullptr) return;
    char buffer[300] = {};
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (buffer[0] != '\0') logger->QueueLine(buffer);
}
