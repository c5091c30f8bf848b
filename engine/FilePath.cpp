#include "engine/FilePath.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "engine/Logger.h"
#include "port/os/FileCase.h"

namespace fs = std::filesystem;

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
    std::error_code error;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : fs::path(ResolveFileFoldingCase(folder)), error);
    if (error) {
        if (Logger* logger = Logger::Instance()) logger->QueueLine(error.message());
        return false;
    }
    // Stepping on reports its errors through the code (never throws): a
    // folder that fails half-way keeps the names read so far.
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (!EndsWithFolded(name, extension)) continue;
        // The extension matched ignoring letter case, so cut it by length.
        fileNames.push_back(name.substr(0, name.size() - extension.size()));
    }
    std::sort(fileNames.begin(), fileNames.end());
    if (error)
        if (Logger* logger = Logger::Instance()) logger->QueueLine(error.message());
    return !error;
}
