// Test support: a temporary folder that holds the hostile files the readers
// must refuse: a FIFO with no writer, a symlink to /dev/zero, a sparse file
// that declares more bytes than it stores, a folder. Removed when it goes.
#pragma once
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class HostileFiles {
public:
    enum class Kind { Fifo, DevZeroLink, Sparse, Folder };

    HostileFiles() {
        std::string pattern = (std::filesystem::temp_directory_path() / "ddhostileXXXXXX").string();
        if (::mkdtemp(pattern.data())) dir_ = pattern;
    }
    ~HostileFiles() {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    HostileFiles(const HostileFiles&) = delete;
    HostileFiles& operator=(const HostileFiles&) = delete;

    const std::string& Dir() const { return dir_; }

    // Makes `name` (a path inside the folder, parents made) as that kind of
    // file; a sparse file gets `bytes` of size. Returns its full path.
    std::string Make(Kind kind, const std::string& name, std::uintmax_t bytes = 0) const {
        const std::filesystem::path path = std::filesystem::path(dir_) / name;
        std::filesystem::create_directories(path.parent_path());
        switch (kind) {
            case Kind::Fifo:
                ::mkfifo(path.c_str(), 0644);
                break;
            case Kind::DevZeroLink:
                std::filesystem::create_symlink("/dev/zero", path);
                break;
            case Kind::Sparse:
                std::ofstream(path).close();
                std::filesystem::resize_file(path, bytes);
                break;
            case Kind::Folder:
                std::filesystem::create_directories(path);
                break;
        }
        return path.string();
    }

private:
    std::string dir_;
};
