// The text forms of scalar values in data files. Floats: six significant
// digits in the shorter of fixed and exponential form, exponents with at least
// three digits ("1e+006"), -0 as "0", non-finite values as Lua expressions
// ("(0/0)", "(1/0)", "(-1/0)"). Strings: quoted and escaped as Lua's %q does, so any
// string reads back as itself. Pure functions.
#pragma once
#include <string>

namespace value_text {

std::string FormatFloat(float value);
std::string Quote(const std::string& text);
// True when text is a Lua name (letters, digits, '_', not starting with a
// digit, not a reserved word): it can stand on the left of a global assignment.
bool IsLuaName(const std::string& text);

}  // namespace value_text
