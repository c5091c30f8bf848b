// An input script read into steps: one command a line, words split at
// spaces and tabs, a word starting with '#' beginning a comment to the end
// of the line, blank lines skipped. Reading stops at the first line that does
// not fit; the script then carries that line and why, and is not played.
// A plain value; main thread only.
#pragma once
#include <string>
#include <vector>

#include "app/ScriptCommand.h"

class InputScript {
public:
    struct Step {
        int lineNumber = 0;                      // from 1
        std::string line;                        // without its comment and outer blanks
        const ScriptCommand* command = nullptr;  // never null in a step
        std::vector<std::string> args;
    };
    // The first line that does not fit.
    struct BadLine {
        int lineNumber = 0;  // 0: every line fits
        std::string line;
        std::string reason;
    };

    static InputScript Parse(const std::string& text);
    // Reads and parses the file; false with the reason when it cannot be read.
    static bool Load(const std::string& path, InputScript* script, std::string* error);

    const std::vector<Step>& Steps() const { return steps_; }
    bool Fits() const { return bad_.lineNumber == 0; }
    const BadLine& FirstBadLine() const { return bad_; }

private:
    std::vector<Step> steps_;
    BadLine bad_;
};
