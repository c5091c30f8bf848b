#include "render/text/FontAtlas.h"

#include <algorithm>

#include FT_SIZES_H

#include <cstdlib>
#include <cstring>

#include "engine/Logger.h"
#include "port/gpu/GpuShaderResourceView.h"
#include "port/gpu/GpuTexture.h"
#include "render/frame/RenderResources.h"

namespace {

// FreeType's 26.6 fixed-point values in whole pixels (arithmetic shift).
float Whole(FT_Pos value) {
    return static_cast<float>(value >> 6);
}

// Coverage 0..255 of texel (c, r) of a rendered bitmap; 0 for pixel modes
// that carry no coverage.
u8 Coverage(const FT_Bitmap& bitmap, unsigned c, unsigned r) {
    const int pitch = bitmap.pitch;
    // A negative pitch stores the rows bottom-up.
    const unsigned row = pitch >= 0 ? r : bitmap.rows - 1 - r;
    const unsigned char* line = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * std::abs(pitch);
    switch (bitmap.pixel_mode) {
        case FT_PIXEL_MODE_GRAY:
            if (bitmap.num_grays == 256) return line[c];
            return static_cast<u8>(line[c] * 255u / std::max(1u, bitmap.num_grays - 1u));
        case FT_PIXEL_MODE_MONO:
            return (line[c >> 3] & (0x80 >> (c & 7))) ? 255 : 0;
        case FT_PIXEL_MODE_BGRA:
            return line[c * 4 + 3];
        default:
            return 0;
    }
}

}  // namespace

FontAtlas::FontAtlas(FT_Face face, int pixelSize)
    : texels_(static_cast<std::size_t>(kSize) * kSize * 4, 0), pixelSize_(pixelSize), face_(face) {
    if (!face_) return;
    hasKerning_ = FT_HAS_KERNING(face_);
    // Each atlas keeps its own scale of the shared face, so kerning asked for
    // later is measured at this atlas's size whatever was rendered since.
    if (FT_New_Size(face_, &size_) != 0) size_ = nullptr;
    if (size_) FT_Activate_Size(size_);
    if (pixelSize_ <= 0 || pixelSize_ > kMaxPixelSize ||
        FT_Set_Char_Size(face_, 0, static_cast<FT_F26Dot6>(pixelSize_) * 64, 96, 96) != 0) {
        Log("FontAtlas: %s cannot be sized to %i px", face_->family_name ? face_->family_name : "?", pixelSize_);
        return;
    }
    Render();
}

FontAtlas::~FontAtlas() = default;

void FontAtlas::Render() {
    int penX = 1, penY = 1, lineHeight = 0;
    int missing = 0;
    for (int code = kFirstCode; code <= kLastCode; ++code) {
        const FT_UInt index = FT_Get_Char_Index(face_, static_cast<FT_ULong>(code));
        if (FT_Load_Char(face_, static_cast<FT_ULong>(code), FT_LOAD_RENDER) != 0) {
            ++missing;
            continue;
        }
        const FT_GlyphSlot slot = face_->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        const int w = static_cast<int>(bitmap.width), rows = static_cast<int>(bitmap.rows);
        // The tallest glyph so far, never reset: every row steps by it.
        lineHeight = std::max(lineHeight, rows);
        if (penX + w >= kSize) {
            penY += lineHeight;
            penX = 0;
        }
        // Only what lies wholly inside the texture is entered.
        if (w > kSize || penY + rows > kSize) {
            ++missing;
            continue;
        }
        FontGlyph glyph;
        glyph.x0 = penX;
        glyph.y0 = penY;
        glyph.x1 = penX + w;
        glyph.y1 = penY + rows;
        glyph.code = static_cast<signed char>(code);
        glyph.advance = Whole(slot->advance.x);
        glyph.bearingX = Whole(slot->metrics.horiBearingX);
        glyph.bearingY = Whole(slot->metrics.horiBearingY);
        glyph.width = Whole(slot->metrics.width);
        glyph.height = Whole(slot->metrics.height);
        glyph.bitmapLeft = static_cast<float>(slot->bitmap_left);
        glyph.bitmapTop = static_cast<float>(slot->bitmap_top);
        glyph.index = index;
        glyphs_[glyph.code] = glyph;
        CopyBitmap(bitmap, penX, penY);
        penX += w;
    }
    complete_ = missing == 0;
    if (!complete_)
        Log("FontAtlas: %i characters of %s at %i px do not fit in %ix%i and draw nothing", missing,
            face_->family_name ? face_->family_name : "?", pixelSize_, kSize, kSize);
}

void FontAtlas::CopyBitmap(const FT_Bitmap& bitmap, int penX, int penY) {
    for (unsigned r = 0; r < bitmap.rows; ++r)
        for (unsigned c = 0; c < bitmap.width; ++c) {
            const std::size_t texel = (static_cast<std::size_t>(penY + r) * kSize + penX + c) * 4;
            texels_[texel + 0] = 0;
            texels_[texel + 1] = 0;
            texels_[texel + 2] = 0;
            texels_[texel + 3] = Coverage(bitmap, c, r);
        }
}

const FontGlyph* FontAtlas::Find(char code) const {
    const auto it = glyphs_.find(static_cast<signed char>(code));
    return it == glyphs_.end() ? nullptr : &it->second;
}

float FontAtlas::Kerning(const FontGlyph& previous, const FontGlyph& next) const {
    if (!hasKerning_ || !face_) return 0.0f;
    if (size_) FT_Activate_Size(size_);
    FT_Vector delta{0, 0};
    if (FT_Get_Kerning(face_, previous.index, next.index, FT_KERNING_DEFAULT, &delta) != 0) return 0.0f;
    return Whole(delta.x);
}

GpuShaderResourceView* FontAtlas::GetView() {
    if (view_) return view_.get();
    RenderResources* resources = RenderResources::Instance();
    if (!resources || !resources->GetDevice()) return nullptr;
    texture_ = resources->CreateDynamicTexture(kSize, kSize);
    GpuMappedSubresource mapped;
    if (!texture_ || !texture_->Map(0, GpuMap::WriteDiscard, &mapped)) {
        texture_.reset();
        return nullptr;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(kSize) * 4;
    for (int y = 0; y < kSize; ++y)
        std::memcpy(static_cast<u8*>(mapped.data) + static_cast<std::size_t>(y) * mapped.rowPitch,
                    texels_.data() + y * rowBytes, rowBytes);
    texture_->Unmap(0);
    view_ = resources->CreateTextureView(texture_);
    return view_.get();
}
