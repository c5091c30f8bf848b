#include "render/text/FontManager.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "engine/Logger.h"
#include "port/os/WholeFile.h"
#include "render/text/ScreenText.h"

namespace {

// Names remembered with the file they found; past it the memory starts anew.
constexpr std::size_t kMaxRememberedNames = 256;

bool IsFile(const std::string& path) {
    std::error_code ignored;
    return !path.empty() && std::filesystem::is_regular_file(path, ignored);
}

}  // namespace

FontManager::FontManager(const std::string& assetRoot, const std::string& fallbackFont, std::size_t maxAtlases)
    : emptyAtlas_(std::make_shared<FontAtlas>(nullptr, 0)),
      maxAtlases_(std::max<std::size_t>(maxAtlases, 1)),
      fallbackFont_(fallbackFont) {
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

std::vector<std::string> FontManager::Candidates(const std::string& fontFile) const {
    if (fontFile.empty()) return {fallbackFont_};
    return {fontsFolder_ + fontFile, assetFontsFolder_ + fontFile, fallbackFont_};
}

std::string FontManager::ResolveFontPath(const std::string& fontFile) const {
    for (const std::string& path : Candidates(fontFile))
        if (IsFile(path)) return path;
    return std::string();
}

const std::string& FontManager::FindFontFile(const std::string& fontFile) {
    const auto found = fontFiles_.find(fontFile);
    if (found != fontFiles_.end()) return found->second;
    if (fontFiles_.size() >= kMaxRememberedNames) fontFiles_.clear();
    // A file FreeType cannot read (OpenFace logs it) is passed over like a
    // missing one: the next candidate stands in.
    std::string path;
    for (const std::string& candidate : Candidates(fontFile))
        if (IsFile(candidate) && OpenFace(candidate)) {
            path = candidate;
            break;
        }
    if (path.empty())
        Log("FontManager: no font file for %s; its texts draw nothing", fontFile.c_str());
    else
        Log("FontManager: %s from %s", fontFile.c_str(), path.c_str());
    return fontFiles_[fontFile] = path;
}

FT_Face FontManager::OpenFace(const std::string& path) {
    const auto it = faces_.find(path);
    if (it != faces_.end()) return it->second;
    if (!library_ || path.empty()) return nullptr;
    FileRead check = FileRead::Ok;
    int errorNumber = 0;
    const int fd = OpenRegularFile(path, kMaxFontFileBytes, &check, &errorNumber);
    if (fd < 0) {
        Log("FontManager: %s", FileReadErrorText(check, path, kMaxFontFileBytes, errorNumber).c_str());
        return nullptr;
    }
    FT_Face face = nullptr;
    const FT_Error error = FT_New_Face(library_, path.c_str(), 0, &face);
    ::close(fd);
    if (error != 0) {
        Log("FontManager: %s is no font FreeType reads", path.c_str());
        return nullptr;
    }
    faces_[path] = face;
    return face;
}

FT_Face FontManager::GetFace(const std::string& fontFile) {
    return OpenFace(FindFontFile(fontFile));
}

bool FontManager::MakeRoom() {
    while (atlases_.size() >= maxAtlases_) {
        auto oldest = atlases_.end();
        for (auto it = atlases_.begin(); it != atlases_.end(); ++it)
            if (it->second.atlas.use_count() == 1 &&
                (oldest == atlases_.end() || it->second.lastUse < oldest->second.lastUse))
                oldest = it;
        if (oldest == atlases_.end()) return false;
        atlases_.erase(oldest);
    }
    for (auto face = faces_.begin(); face != faces_.end();) {
        bool used = false;
        for (const auto& entry : atlases_) used = used || entry.second.atlas->GetFace() == face->second;
        if (used) {
            ++face;
            continue;
        }
        FT_Done_Face(face->second);
        face = faces_.erase(face);
    }
    return true;
}

std::shared_ptr<FontAtlas> FontManager::AcquireAtlas(const std::string& fontFile, int pixelSize) {
    if (pixelSize <= 0 || pixelSize > FontAtlas::kMaxPixelSize) {
        Log("FontManager: %s at %i px is refused (1 to %i px); its texts draw nothing", fontFile.c_str(), pixelSize,
            FontAtlas::kMaxPixelSize);
        return emptyAtlas_;
    }
    const std::string& path = FindFontFile(fontFile);
    if (path.empty()) return emptyAtlas_;
    const auto key = std::make_pair(path, pixelSize);
    const auto it = atlases_.find(key);
    if (it != atlases_.end()) {
        it->second.lastUse = ++requests_;
        return it->second.atlas;
    }
    if (!MakeRoom()) {
        Log("FontManager: all %zu font atlases are in use; %s at %i px draws nothing", maxAtlases_, fontFile.c_str(),
            pixelSize);
        return emptyAtlas_;
    }
    FT_Face face = OpenFace(path);
    if (!face) return emptyAtlas_;
    auto atlas = std::make_shared<FontAtlas>(face, pixelSize);
    atlases_[key] = CachedAtlas{atlas, ++requests_};
    return atlas;
}

ScreenText* FontManager::CreateText(const std::string& text, int count, const std::string& fontFile, int pixelSize,
                                    bool rejectEmpty) {
    if (rejectEmpty && text.empty()) return nullptr;
    if (count > static_cast<int>(ScreenText::kMaxCharacters)) return nullptr;
    auto* screenText = new ScreenText(AcquireAtlas(fontFile, pixelSize));
    screenText->SetText(text);
    screenText->Init();
    return screenText;
}
