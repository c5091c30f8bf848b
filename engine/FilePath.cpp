#include "engine/FilePath.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "engine/Logger.h"
#include "port/os/FileCase.h"
#include "port/os/Folders.h"

namespace {
bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

bool EndsWithFolded(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && EqualFoldingCase(text.substr(text.size() - end.size()), end);
}
}  // namespace

FilePath::FilePath() {
    ReflectOnce<FilePath>();
}

void FilePath::Reflect(MemberList<FilePath>& members) {
    members.Add("path", &FilePath::path);
    members.Add("extension", &FilePath::extension);
}

std::string FilePath::GetFullPath(const std::string& name) const {
    std::string full = baseFolder;
    if (!full.empty() && !IsSeparator(full.back())) full += '/';
    full += path;
    if (!path.empty() && !IsSeparator(path.back())) full += '/';
    full += name;
    full += extension;
    std::replace(full.begin(), full.end(), '\\', '/');
    return full;
}

std::string FilePath::FindFullPath(const std::string& name) const {
    return ResolveFileFoldingCase(GetFullPath(name));
}

std::string FilePath::FileIdentity(const std::string& fullPath) {
    std::string path = fullPath;
    std::replace(path.begin(), path.end(), '\\', '/');
    const std::string found = FindFileFoldingCase(path);
    if (found.empty()) return "";
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::canonical(found, error);
    return error ? std::filesystem::path(found).lexically_normal().string() : canonical.string();
}

std::string FilePath::Split(const std::string& fileName) {
    if (fileName.empty()) return "";
    const std::size_t separator = fileName.find_last_of("/\\");
    const std::size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
    path = fileName.substr(0, nameStart);
    const std::string last = fileName.substr(nameStart);
    const std::size_t dot = last.rfind('.');
    extension = dot == std::string::npos ? "" : last.substr(dot);
    return dot == std::string::npos ? last : last.substr(0, dot);
}

bool FilePath::ListDirectory() {
    fileNames.clear();
    std::string folder = baseFolder;
    folder += path;
    std::replace(folder.begin(), folder.end(), '\\', '/');
    const std::string resolved = folder.empty() ? std::string(".") : ResolveFileFoldingCase(folder);
    std::vector<FolderEntry> entries;
    const std::uint32_t error = ListFolder(resolved, &entries);
    for (const FolderEntry& entry : entries) {
        if (!EndsWithFolded(entry.name, extension)) continue;
        // Only regular files are listed: opening a FIFO named like an asset
        // would block, and a device never ends.
        if (!entry.regular) {
            Log("FilePath: %s%s%s is not a regular file; left out", resolved.c_str(),
                resolved.empty() || resolved.back() == '/' ? "" : "/", entry.name.c_str());
            continue;
        }
        // The extension matched ignoring letter case, so cut it by length.
        fileNames.push_back(entry.name.substr(0, entry.name.size() - extension.size()));
    }
    std::sort(fileNames.begin(), fileNames.end());
    if (error)
        Log("FilePath: folder %s cannot be listed: %s", resolved.c_str(), std::strerror(static_cast<int>(error)));
    return error == 0;
}
