// The font service: the FreeType library, the loaded faces by font file and
// the glyph atlases by (font file, pixel size), made on first use. Texts hold
// their atlas (shared); the cache keeps at most kMaxAtlases and, when full,
// drops the atlases that no text holds, least recently asked for first, and
// the faces no remaining atlas uses. Font names that find no file and sizes
// that are refused all share one empty atlas. One for the run (global
// instance pointer), made at start-up after the render resources. Main
// thread only.
//
// A font file is looked for in the fonts folder ("SYSTEMROOT" + "/fonts/",
// or "C:/windows/fonts/" without it), then in the "fonts" folder of the asset
// root, then DejaVu Sans Mono stands in for it; a file FreeType cannot read
// is passed over like a missing one. The log names the file used.
// Names that find the same file share its face and atlases.
#pragma once
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/Singleton.h"
#include "render/text/FontAtlas.h"

class ScreenText;

class FontManager : public Singleton<FontManager> {
public:
    static constexpr const char* kDefaultFont = "lucon.ttf";
    static constexpr const char* kFallbackFont = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
    // Atlases kept at once (each about 1 MB of texels and a texture of the
    // same size). A request past it while every atlas is held by a text gets
    // the empty atlas, with a log row.
    static constexpr std::size_t kMaxAtlases = 32;
    // Font files larger than this are not opened.
    static constexpr std::size_t kMaxFontFileBytes = std::size_t(64) << 20;

    // assetRoot: the folder holding the asset tree ("" = the working
    // directory); fallbackFont: the file that stands in for missing fonts;
    // maxAtlases: the cache's bound (tests ask for small ones).
    explicit FontManager(const std::string& assetRoot = "", const std::string& fallbackFont = kFallbackFont,
                         std::size_t maxAtlases = kMaxAtlases);
    ~FontManager();

    // A new initialised text showing `text` with the atlas of (fontFile,
    // pixelSize); null when rejectEmpty is set and the text is empty, or when
    // count is more than 80. Its fontName and fontSize keep their defaults.
    // The caller owns it (normally it is added to an object).
    ScreenText* CreateText(const std::string& text, int count, const std::string& fontFile, int pixelSize,
                           bool rejectEmpty);
    // The atlas of (fontFile, pixelSize), built on first request and shared
    // by every holder. Never null: a font that cannot be loaded, a refused
    // size or a full cache give the empty atlas.
    std::shared_ptr<FontAtlas> AcquireAtlas(const std::string& fontFile, int pixelSize);
    // The same without holding it: valid until the cache next drops atlases.
    FontAtlas* GetAtlas(const std::string& fontFile, int pixelSize) { return AcquireAtlas(fontFile, pixelSize).get(); }
    // The face of a font file, loaded on first request; null when no file
    // can be opened (nothing is entered, so a later request tries again).
    FT_Face GetFace(const std::string& fontFile);
    // Atlases in the cache (the empty atlas not counted).
    std::size_t AtlasCount() const { return atlases_.size(); }
    std::size_t FaceCount() const { return faces_.size(); }

    // "SYSTEMROOT" + "/fonts/", with the separator it ends in.
    const std::string& GetFontsFolder() const { return fontsFolder_; }
    // The first candidate file for fontFile that exists, or "" when there is
    // none. GetFace opens the first one FreeType reads.
    std::string ResolveFontPath(const std::string& fontFile) const;

private:
    struct CachedAtlas {
        std::shared_ptr<FontAtlas> atlas;
        unsigned long long lastUse = 0;
    };

    // The files tried for a font name, in order.
    std::vector<std::string> Candidates(const std::string& fontFile) const;
    // The path of the first candidate FreeType reads for a name, remembered
    // for a bounded number of names (each logged once while remembered).
    const std::string& FindFontFile(const std::string& fontFile);
    FT_Face OpenFace(const std::string& path);
    // Drops unheld atlases, least recently asked for first, until one more
    // fits; then the faces no atlas uses. False when every atlas is held.
    bool MakeRoom();

    std::map<std::pair<std::string, int>, CachedAtlas> atlases_;  // by (file path, pixel size)
    std::map<std::string, FT_Face> faces_;                        // by file path
    std::map<std::string, std::string> fontFiles_;                // font name -> file path ("" none)
    std::shared_ptr<FontAtlas> emptyAtlas_;
    std::size_t maxAtlases_;
    unsigned long long requests_ = 0;
    std::string fontsFolder_;
    std::string assetFontsFolder_;
    std::string fallbackFont_;
    FT_Library library_ = nullptr;
};
