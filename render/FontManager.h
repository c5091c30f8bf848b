// The font service: the FreeType library, the loaded faces by font file name
// and the glyph atlases by (font file, pixel size), all made on first use and
// kept until this object goes at shutdown. One for the run (global instance
// pointer), made at start-up after the render resources. Main thread only.
//
// A font file is looked for in the fonts folder ("SYSTEMROOT" + "/fonts/",
// or "C:/windows/fonts/" without it), then in the "fonts" folder of the asset
// root, then DejaVu Sans Mono stands in for it; the log names the file used.
#pragma once
#include <ft2build.h>
#include FT_FREETYPE_H

#include <map>
#include <memory>
#include <string>
#include <utility>

#include "core/Singleton.h"
#include "render/FontAtlas.h"

class ScreenText;

class FontManager : public Singleton<FontManager> {
public:
    static constexpr const char* kDefaultFont = "lucon.ttf";
    static constexpr const char* kFallbackFont = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

    // assetRoot: the folder holding the asset tree ("" = the working
    // directory); fallbackFont: the file that stands in for missing fonts.
    explicit FontManager(const std::string& assetRoot = "", const std::string& fallbackFont = kFallbackFont);
    ~FontManager();

    // A new initialised text showing `text` with the atlas of (fontFile,
    // pixelSize); null when rejectEmpty is set and the text is empty, or when
    // count is more than 80. Its fontName and fontSize keep their defaults.
    // The caller owns it (normally it is added to an object).
    ScreenText* CreateText(const std::string& text, int count, const std::string& fontFile, int pixelSize,
                           bool rejectEmpty);
    // The atlas of (fontFile, pixelSize), built on first request. Never null:
    // a font that cannot be loaded gives an atlas without glyphs.
    FontAtlas* GetAtlas(const std::string& fontFile, int pixelSize);
    // The face of a font file, loaded on first request; null when no file
    // can be opened (nothing is entered, so a later request tries again).
    FT_Face GetFace(const std::string& fontFile);

    // "SYSTEMROOT" + "/fonts/", with the separator it ends in.
    const std::string& GetFontsFolder() const { return fontsFolder_; }
    // The file that GetFace opens for fontFile: the first candidate that
    // exists, or "" when there is none.
    std::string ResolveFontPath(const std::string& fontFile) const;

private:
    std::map<std::pair<std::string, int>, std::unique_ptr<FontAtlas>> atlases_;
    std::map<std::string, FT_Face> faces_;
    std::string fontsFolder_;
    std::string assetFontsFolder_;
    std::string fallbackFont_;
    FT_Library library_ = nullptr;
};
