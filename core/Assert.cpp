#include "core/Assert.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/LogSink.h"

void AssertionFailed(const char* condition, const char* message, const char* file, int line) {
    const std::string text =
        std::string(file) + ":" + std::to_string(line) + ": assertion failed: " + condition + ": " + message;
    StopWithMessage(text.c_str());
}

void StopWithMessage(const char* text) {
    std::fprintf(stderr, "%s\n", text);
    std::fflush(stderr);
    SinkLog("%s", text);
    std::abort();
}
