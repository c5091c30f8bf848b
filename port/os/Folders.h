// Folder helpers for the engine's files (the log folder at start-up, the
// listings of the asset folders). Plain functions over the file system; any
// thread.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Creates the folder (and missing parents) when it does not exist. An empty
// path means the working directory and is left alone. Returns 0 or the
// errno-style code of the failure (a file in the way gives ENOTDIR/EEXIST).
std::uint32_t CreateFolderIfMissing(const std::string& path);

// One entry of a folder listing: its file name and whether it is (or a
// symlink leads to) a regular file; FIFOs, devices, sockets, folders and
// broken symlinks are not.
struct FolderEntry {
    std::string name;
    bool regular = false;
};

// The entries of a folder in the system's order (no "." or ".."), without
// opening any of them. Returns 0 or the errno-style code of the failure; a
// listing that fails half-way keeps the entries read so far.
std::uint32_t ListFolder(const std::string& folder, std::vector<FolderEntry>* entries);
