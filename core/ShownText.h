// Texts that come from files or scripts (names, refused lines) as messages
// show them: a name of megabytes must not make a row of megabytes in the log
// and on stderr. Stateless; any thread.
#pragma once
#include <cstddef>
#include <string>

// The most bytes of such a text a message shows.
inline constexpr std::size_t kShownBytes = 120;

// At most kShownBytes of the text, the rest marked as cut with the whole
// length ("... (16777216 bytes)"); bytes that are not printable ASCII become
// '?' (a binary line is one long line).
std::string ShownText(const std::string& text);
