// The asset folders the render benchmarks read: the asset root (DD_ASSET_DIR
// when set, else the repository's assets/ the target was built with, given
// as DD_ASSET_ROOT) and folder descriptions below any root. Header only.
#pragma once
#include <cstdlib>
#include <string>

#include "engine/FilePath.h"

inline std::string BenchAssetRoot() {
    const char* env = std::getenv("DD_ASSET_DIR");
    return env ? env : DD_ASSET_ROOT;
}

// root/folder/ holding files of the extension.
inline FilePath BenchFolder(const std::string& root, const std::string& folder, const std::string& extension) {
    FilePath path;
    path.baseFolder = root + "/";
    path.path = folder + "/";
    path.extension = extension;
    return path;
}
