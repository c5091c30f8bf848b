// Test support: a temporary copy of the repository's asset tree (DD_ASSET_DIR),
// whole or only its start-up file, made the working directory while it lives
// (the program reads its start-up file and writes its log there). Removed,
// and the old working directory restored, when it goes.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/port/ChildProcess.h"

class TempAssetRoot {
public:
    enum class Contents { StartupFileOnly, WholeTree };

    explicit TempAssetRoot(Contents contents, bool enter = true) : dir_(MakeTempFolder()) {
        const char* assets = std::getenv("DD_ASSET_DIR");
        if (!assets) throw std::runtime_error("DD_ASSET_DIR is not set");
        if (contents == Contents::WholeTree)
            std::filesystem::copy(assets, dir_, std::filesystem::copy_options::recursive);
        else
            std::filesystem::copy_file(std::string(assets) + "/DevozizuDave.init", dir_ + "/DevozizuDave.init");
        if (enter) {
            previous_ = std::filesystem::current_path();
            std::filesystem::current_path(dir_);
        }
    }
    ~TempAssetRoot() {
        if (!previous_.empty()) std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    TempAssetRoot(const TempAssetRoot&) = delete;
    TempAssetRoot& operator=(const TempAssetRoot&) = delete;

    const std::string& Dir() const { return dir_; }

private:
    std::string dir_;
    std::filesystem::path previous_;
};
