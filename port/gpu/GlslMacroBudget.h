// Bounds what the GLSL preprocessor would make of one stage's text before the
// driver sees it (a few nested #defines expand to gigabytes in its compiler).
// The text is read as the preprocessor reads it, or refused where a driver
// could read it otherwise; a macro's body and a call's arguments name no
// macro, so each expansion is one step, and the bytes they add are bounded.
#pragma once
#include <cstddef>
#include <string>

class GlslMacroBudget {
public:
    // The most the macros of one stage's text may add to it, in bytes (the
    // shipped effects define none).
    static constexpr std::size_t kMaxAddedBytes = 1u << 20;

    // True when `source` keeps to the rule; otherwise false with the reason.
    static bool Check(const std::string& source, std::string* why);
};
