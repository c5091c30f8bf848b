// Minimal stand-in until the threaded writer lands: rows are kept in memory only.
#include "engine/Logger.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <vector>

struct Logger::Impl {
    std::atomic<u32> frame{0};
    std::vector<std::string> rows;
};

Logger::Logger(const std::string&, const std::string&) : impl_(new Impl) {}
Logger::~Logger() { delete impl_; }
void Logger::QueueLine(const std::string& message) { impl_->rows.push_back(message); }
void Logger::FlushFrame(int) {}
void Logger::IncrementFrame() { ++impl_->frame; }
u32 Logger::FrameCounter() const { return impl_->frame; }

void Log(const char* format, ...) {
    Logger* logger = Logger::Instance();
    if (!logger) return;
    char buffer[300] = {};
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (buffer[0] != '\0') logger->QueueLine(buffer);
}
