#include "port/os/FileCase.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

bool EqualFoldingCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

std::string FindFileFoldingCase(const std::string& path) {
    std::error_code ec;
    if (path.empty()) return "";
    if (fs::exists(path, ec)) return path;

    fs::path p(path);
    fs::path resolved = p.is_absolute() ? p.root_path() : fs::path();
    for (const fs::path& part : p.relative_path()) {
        const std::string name = part.string();
        fs::path direct = resolved / part;
        if (name == "." || name == ".." || fs::exists(direct, ec)) {
            resolved = direct;
            continue;
        }
        fs::path dir = resolved.empty() ? fs::path(".") : resolved;
        bool found = false;
        for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string entry = it->path().filename().string();
            if (EqualFoldingCase(entry, name)) {
                resolved = resolved / entry;
                found = true;
                break;
            }
        }
        if (!found) return "";
    }
    return resolved.string();
}

std::string ResolveFileFoldingCase(const std::string& path) {
    const std::string found = FindFileFoldingCase(path);
    return found.empty() ? path : found;
}
