// Test support: every node under a folder (recursively) with its kind and its
// bytes or link target, so that a test can say a failed write left a folder
// exactly as it was: no temporary file, the old bytes, no node of another kind.
#pragma once
#include <filesystem>
#include <map>
#include <string>

#include "tests/port/ChildProcess.h"

struct FolderNode {
    std::filesystem::file_type type;
    std::string content;  // a file's bytes, a link's target
    bool operator==(const FolderNode&) const = default;
};
using FolderSnapshot = std::map<std::string, FolderNode>;  // by path relative to the folder

inline FolderSnapshot TakeFolderSnapshot(const std::string& dir) {
    namespace fs = std::filesystem;
    FolderSnapshot nodes;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        const fs::file_type type = entry.symlink_status().type();
        std::string content;
        if (type == fs::file_type::regular) content = ReadWholeFile(entry.path());
        if (type == fs::file_type::symlink) content = fs::read_symlink(entry.path());
        nodes[entry.path().lexically_relative(dir)] = {type, content};
    }
    return nodes;
}
