// Parser of tweak-panel definition texts: parameter lists
// ("label='x' group=G size='300 300'") and whole definitions with a target
// ("Bar/Var label=...", "GLOBAL buttonalign=left"). Pure functions, no state.
#pragma once

#include <string>
#include <utility>
#include <vector>

class TweakDefinition {
public:
    using Param = std::pair<std::string, std::string>;  // key in lower case, value unquoted

    struct Line {
        std::string barName;   // "GLOBAL" for global parameters
        std::string itemName;  // variable or group after '/', empty for the bar itself
        std::vector<Param> params;
    };

    // Parses a parameter list. Returns false and sets *error on a malformed
    // list; the parameters read before the fault are kept in *out.
    static bool ParseParams(const std::string& text, std::vector<Param>* out, std::string* error);
    // Parses a definition text of one or more lines (blank lines are skipped).
    static bool ParseDefine(const std::string& text, std::vector<Line>* out, std::string* error);

    // Helpers for parameter values.
    static bool ParseBool(const std::string& value, bool* out);
    static bool ParseInts(const std::string& value, int* out, int count);
};
