#include "port/os/Folders.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

std::uint32_t CreateFolderIfMissing(const std::string& path) {
    if (path.empty()) return 0;
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::is_directory(path, ec)) return 0;
    fs::create_directories(path, ec);
    if (ec) return static_cast<std::uint32_t>(ec.value() != 0 ? ec.value() : EIO);
    if (!fs::is_directory(path, ec)) return static_cast<std::uint32_t>(ENOTDIR);
    return 0;
}

std::uint32_t ListFolder(const std::string& folder, std::vector<FolderEntry>* entries) {
    namespace fs = std::filesystem;
    entries->clear();
    std::error_code ec;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : fs::path(folder), ec);
    // Stepping on reports its errors through the code (never throws).
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code statusError;
        // status() follows symlinks and only stats: a FIFO is never opened.
        const fs::file_status status = it->status(statusError);
        entries->push_back({it->path().filename().string(), !statusError && fs::is_regular_file(status)});
    }
    if (ec) return static_cast<std::uint32_t>(ec.value() != 0 ? ec.value() : EIO);
    return 0;
}
