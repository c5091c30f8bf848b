// Helpers of the font and text tests: the DejaVu files of fonts-dejavu-core
// (Sans has kerning pairs, Sans Mono has none), FreeType faces opened for one
// test, an environment variable set for one test, and a temporary folder.
#pragma once
#include <ft2build.h>
#include <gtest/gtest.h>
#include FT_FREETYPE_H

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

inline const char* const kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
inline const char* const kDejaVuMono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

// A shared handle on an atlas the test owns (texts hold their atlas shared).
class FontAtlas;
inline std::shared_ptr<FontAtlas> Borrowed(FontAtlas* atlas) {
    return std::shared_ptr<FontAtlas>(atlas, [](FontAtlas*) {});
}

// Opens faces for one test and frees them with the library.
class FaceLoader {
public:
    FaceLoader() { FT_Init_FreeType(&library_); }
    ~FaceLoader() {
        for (FT_Face face : faces_) FT_Done_Face(face);
        FT_Done_FreeType(library_);
    }
    FT_Face Open(const char* path) {
        FT_Face face = nullptr;
        if (FT_New_Face(library_, path, 0, &face) != 0) return nullptr;
        faces_.push_back(face);
        return face;
    }

private:
    FT_Library library_ = nullptr;
    std::vector<FT_Face> faces_;
};

// Sets (or, with nullptr, removes) an environment variable until destroyed.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_)
            setenv(name_.c_str(), old_->c_str(), 1);
        else
            unsetenv(name_.c_str());
    }

private:
    std::string name_;
    std::optional<std::string> old_;
};

// A fresh folder under the temporary directory, removed with its contents.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "ddfontXXXXXX").string();
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    const std::string& path() const { return path_; }
    // Copies `source` to folder/relative, making the folders on the way.
    void Copy(const std::string& source, const std::string& relative) const {
        const std::filesystem::path target = std::filesystem::path(path_) / relative;
        std::filesystem::create_directories(target.parent_path());
        std::filesystem::copy_file(source, target, std::filesystem::copy_options::overwrite_existing);
    }

private:
    std::string path_;
};
