// A temporary copy of the repository's asset tree (DD_ASSET_DIR), whole (but
// for logs and dumps of earlier runs) or only its start-up file, made the
// working directory while it lives (the program reads its start-up file and
// writes its log there). Removed, and the old working directory restored,
// when it goes.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "tests/support/TempFolder.h"

class TempAssetRoot {
public:
    enum class Contents { StartupFileOnly, WholeTree };

    explicit TempAssetRoot(Contents contents, bool enter = true) : folder_("ddassets"), dir_(folder_.Path()) {
        const char* assets = std::getenv("DD_ASSET_DIR");
        if (!assets) throw std::runtime_error("DD_ASSET_DIR is not set");
        if (contents == Contents::WholeTree)
            CopyTree(assets);
        else
            std::filesystem::copy_file(std::string(assets) + "/DevozizuDave.init", dir_ + "/DevozizuDave.init");
        if (enter) {
            previous_ = std::filesystem::current_path();
            std::filesystem::current_path(dir_);
        }
    }
    ~TempAssetRoot() {
        if (!previous_.empty()) std::filesystem::current_path(previous_);
    }
    TempAssetRoot(const TempAssetRoot&) = delete;
    TempAssetRoot& operator=(const TempAssetRoot&) = delete;

    const std::string& Dir() const { return dir_; }

private:
    // Everything but what earlier runs in the asset folder left there (the
    // log folder, crash dumps).
    void CopyTree(const std::filesystem::path& assets) {
        for (const auto& entry : std::filesystem::directory_iterator(assets)) {
            const std::filesystem::path name = entry.path().filename();
            if (name == "log" || name.extension() == ".dmp") continue;
            std::filesystem::copy(entry.path(), std::filesystem::path(dir_) / name,
                                  std::filesystem::copy_options::recursive);
        }
    }

    TempFolder folder_;
    std::string dir_;
    std::filesystem::path previous_;
};
