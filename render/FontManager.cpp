#include "render/FontManager.h"

#include <cstdlib>
#include <filesystem>

#include "engine/Logger.h"
#include "render/ScreenText.h"

namespace {

bool IsFile(const std::string& path) {
    std::error_code ignored;
    return !path.empty() && std::filesystem::is_regular_file(path, ignored);
}

}  // namespace

FontManager::FontManager(const std::string& assetRoot, const std::string& fallbackFont) : fallbackFont_(fallbackFont) {
    const char* systemRoot = std::getenv("SYSTEMROOT");
    fontsFolder_ = systemRoot ? std::string(systemRoot) + "/fonts/" : std::string("C:/windows/fonts/");
    assetFontsFolder_ = assetRoot.empty() ? std::string("fonts/") : assetRoot + "/fonts/";
    if (FT_Init_FreeType(&library_) != 0) {
        library_ = nullptr;
        Log("FontManager: FreeType could not be started; texts draw nothing");
    }
}

FontManager::~FontManager() {
    atlases_.clear();
    for (auto& entry : faces_) FT_Done_Face(entry.second);
    faces_.clear();
    if (library_) FT_Done_FreeType(library_);
}

std::string FontManager::ResolveFontPath(const std::string& fontFile) const {
    if (fontFile.empty()) return IsFile(fallbackFont_) ? fallbackFont_ : std::string();
    for (const std::string& path : {fontsFolder_ + fontFile, assetFontsFolder_ + fontFile, fallbackFont_})
        if (IsFile(path)) return path;
    return std::string();
}

FT_Face FontManager::GetFace(const std::string& fontFile) {
    const auto it = faces_.find(fontFile);
    if (it != faces_.end()) return it->second;
    if (!library_) return nullptr;
    const std::string path = ResolveFontPath(fontFile);
    FT_Face face = nullptr;
    if (path.empty() || FT_New_Face(library_, path.c_str(), 0, &face) != 0) {
        Log("FontManager: no font file for %s; its texts draw nothing", fontFile.c_str());
        return nullptr;
    }
    Log("FontManager: %s from %s", fontFile.c_str(), path.c_str());
    faces_[fontFile] = face;
    return face;
}

FontAtlas* FontManager::GetAtlas(const std::string& fontFile, int pixelSize) {
    const auto key = std::make_pair(fontFile, pixelSize);
    const auto it = atlases_.find(key);
    if (it != atlases_.end()) return it->second.get();
    auto atlas = std::make_unique<FontAtlas>(GetFace(fontFile), pixelSize);
    FontAtlas* result = atlas.get();
    atlases_.emplace(key, std::move(atlas));
    return result;
}

ScreenText* FontManager::CreateText(const std::string& text, int count, const std::string& fontFile, int pixelSize,
                                    bool rejectEmpty) {
    if (rejectEmpty && text.empty()) return nullptr;
    if (count > static_cast<int>(ScreenText::kMaxCharacters)) return nullptr;
    auto* screenText = new ScreenText(GetAtlas(fontFile, pixelSize));
    screenText->SetText(text);
    screenText->Init();
    return screenText;
}
