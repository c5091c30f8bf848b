// DD_ASSERT(condition, message): a check of an invariant whose breaking is a
// programmer's error, kept in every build type (not tied to NDEBUG). A false
// condition writes "file:line: assertion failed: condition: message" to stderr
// and the installed log sink, then aborts, so the crash handler writes its dumps.
#pragma once

#define DD_ASSERT(condition, message) \
    ((condition) ? static_cast<void>(0) : ::AssertionFailed(#condition, message, __FILE__, __LINE__))

[[noreturn]] void AssertionFailed(const char* condition, const char* message, const char* file, int line);
// The common end of every programmer's error: text to stderr and the log
// sink, then abort.
[[noreturn]] void StopWithMessage(const char* text);
