// Asset names come from files written on a case-insensitive file system:
// when a path does not exist as written, find the entry whose name matches
// each missing component without regard to ASCII letter case.
// Stateless; any thread.
#pragma once
#include <string>

// The path as written when it exists; otherwise the first case-folded match
// component by component; otherwise "" (nothing matches).
std::string FindFileFoldingCase(const std::string& path);
// FindFileFoldingCase, or the path as written when nothing matches (so the
// caller's open fails on the name it was given).
std::string ResolveFileFoldingCase(const std::string& path);
// a == b ignoring ASCII letter case.
bool EqualFoldingCase(const std::string& a, const std::string& b);
