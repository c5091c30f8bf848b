// Folder helpers for the engine's files (the log folder at start-up).
// Plain functions over the file system; any thread.
#pragma once
#include <cstdint>
#include <string>

// Creates the folder (and missing parents) when it does not exist. An empty
// path means the working directory and is left alone. Returns 0 or the
// errno-style code of the failure (a file in the way gives ENOTDIR/EEXIST).
std::uint32_t CreateFolderIfMissing(const std::string& path);
