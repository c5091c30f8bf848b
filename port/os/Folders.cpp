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
