#include "core/LogSink.h"

#include <cstdarg>
#include <cstdio>

namespace {
LogSink g_sink = nullptr;
}  // namespace

void SetLogSink(LogSink sink) {
    g_sink = sink;
}

void SinkLog(const char* format, ...) {
    if (!g_sink) return;
    char buffer[300] = {};
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (buffer[0] != '\0') g_sink(buffer);
}
