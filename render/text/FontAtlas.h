// The printable ASCII characters (32 to 126) of one font face at one pixel
// size, rendered once at 96 dpi into a 512x512 RGBA texture (coverage in
// alpha) and indexed by character code. Shared by the FontManager's cache (one
// per font file and pixel size) and the texts drawn with it.
// The texture is made from the CPU texels when a render device exists. Main
// thread only.
#pragma once
#include <ft2build.h>
#include FT_FREETYPE_H

#include <map>
#include <memory>
#include <vector>

#include "core/Types.h"
#include "render/text/FontGlyph.h"

class GpuShaderResourceView;
class GpuTexture;

class FontAtlas {
public:
    static constexpr int kSize = 512;  // texels on each side
    static constexpr int kFirstCode = 32;
    static constexpr int kLastCode = 126;
    // Larger sizes are refused (an atlas without glyphs): at 96 dpi hardly a
    // glyph of them fits in the texture, and rendering them would take
    // seconds and hundreds of megabytes per atlas.
    static constexpr int kMaxPixelSize = 2 * kSize;

    // Renders the characters of `face` at pixelSize. A null face (the font
    // could not be loaded) gives an atlas without glyphs, whose texts draw
    // nothing. Characters that no longer fit in the texture get no glyph.
    FontAtlas(FT_Face face, int pixelSize);
    ~FontAtlas();
    FontAtlas(const FontAtlas&) = delete;
    FontAtlas& operator=(const FontAtlas&) = delete;

    // Null when the character has no glyph (outside 32..126, or left out).
    const FontGlyph* Find(char code) const;
    // Horizontal pen adjustment, in whole pixels, between two glyphs of this
    // atlas; 0 when the face has no kerning.
    float Kerning(const FontGlyph& previous, const FontGlyph& next) const;

    const std::map<signed char, FontGlyph>& Glyphs() const { return glyphs_; }
    bool HasKerning() const { return hasKerning_; }
    int GetPixelSize() const { return pixelSize_; }
    float GetWidth() const { return width_; }
    float GetHeight() const { return height_; }
    FT_Face GetFace() const { return face_; }
    // Whether every printable character got its glyph.
    bool IsComplete() const { return complete_; }
    // kSize x kSize texels of 4 bytes (r, g, b, coverage), top row first.
    const std::vector<u8>& Texels() const { return texels_; }

    // The texture's shader view, made on first request; null while no render
    // device exists.
    GpuShaderResourceView* GetView();

private:
    void Render();
    void CopyBitmap(const FT_Bitmap& bitmap, int penX, int penY);

    std::map<signed char, FontGlyph> glyphs_;
    std::vector<u8> texels_;
    std::shared_ptr<GpuTexture> texture_;
    std::shared_ptr<GpuShaderResourceView> view_;
    int pixelSize_;
    float width_ = static_cast<float>(kSize);
    float height_ = static_cast<float>(kSize);
    FT_Face face_;
    FT_Size size_ = nullptr;  // this atlas's scale of the shared face (freed with the face)
    bool hasKerning_ = false;
    bool complete_ = false;
};
