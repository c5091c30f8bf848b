#include "tools/picturetool/TextRaster.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {
// The code points of a UTF-8 string (a broken sequence gives U+FFFD).
std::vector<char32_t> Decode(const std::string& text) {
    std::vector<char32_t> out;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + extra >= text.size() + (extra == 0 ? 1 : 0)) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        char32_t cp = extra == 0 ? c : c & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        out.push_back(cp);
        i += 1 + extra;
    }
    return out;
}

// Splits at '\n'.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '\n')
            lines.emplace_back();
        else
            lines.back() += c;
    }
    return lines;
}
}  // namespace

TextRaster::TextRaster() {
    FT_Init_FreeType(&library_);
}

TextRaster::~TextRaster() {
    for (auto& [path, face] : faces_) FT_Done_Face(face);
    if (library_) FT_Done_FreeType(library_);
}

FT_FaceRec_* TextRaster::Face(const std::string& font, float size, std::string* error) {
    FT_Face face = nullptr;
    auto found = faces_.find(font);
    if (found != faces_.end()) {
        face = found->second;
    } else {
        if (!library_ || FT_New_Face(library_, font.c_str(), 0, &face) != 0) {
            *error = "cannot open the font " + font;
            return nullptr;
        }
        faces_[font] = face;
    }
    if (FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(size * 64.0f)), 72, 72) != 0) {
        *error = "the font " + font + " has no size " + std::to_string(size);
        return nullptr;
    }
    return face;
}

bool TextRaster::Measure(const std::string& font, float size, float tracking, const std::string& text, float* width,
                         std::string* error) {
    FT_Face face = Face(font, size, error);
    if (!face) return false;
    long pen = 0;
    FT_UInt previous = 0;
    for (char32_t cp : Decode(text)) {
        const FT_UInt glyph = FT_Get_Char_Index(face, cp);
        if (previous && glyph && FT_HAS_KERNING(face)) {
            FT_Vector kern;
            if (FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &kern) == 0) pen += kern.x;
        }
        if (FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT) == 0) pen += face->glyph->advance.x;
        pen += std::lround(tracking * 64.0f);
        previous = glyph;
    }
    *width = static_cast<float>(pen) / 64.0f;
    return true;
}

bool TextRaster::Lines(const TextSpec& spec, std::vector<std::string>* lines, std::string* error) {
    lines->clear();
    for (const std::string& paragraph : SplitLines(spec.text)) {
        if (spec.wrap <= 0.0f) {
            lines->push_back(paragraph);
            continue;
        }
        std::string line;
        size_t start = 0;
        while (start <= paragraph.size()) {
            size_t end = paragraph.find(' ', start);
            if (end == std::string::npos) end = paragraph.size();
            const std::string word = paragraph.substr(start, end - start);
            const std::string candidate = line.empty() ? word : line + " " + word;
            float width = 0.0f;
            if (!Measure(spec.font, spec.size, spec.tracking, candidate, &width, error)) return false;
            if (width > spec.wrap && !line.empty()) {
                lines->push_back(line);
                line = word;
            } else {
                line = candidate;
            }
            start = end + 1;
        }
        lines->push_back(line);
    }
    return true;
}

bool TextRaster::Draw(const TextSpec& spec, int width, int height, std::vector<float>& mask, std::string* error) {
    std::vector<std::string> lines;
    if (!Lines(spec, &lines, error)) return false;
    const float lineHeight = spec.lineHeight > 0.0f ? spec.lineHeight : spec.size * 1.25f;
    for (size_t l = 0; l < lines.size(); ++l) {
        float lineWidth = 0.0f;
        if (!Measure(spec.font, spec.size, spec.tracking, lines[l], &lineWidth, error)) return false;
        float left = spec.x;
        if (spec.align == TextSpec::Align::Centre) left -= lineWidth / 2.0f;
        if (spec.align == TextSpec::Align::Right) left -= lineWidth;
        const int baseline = static_cast<int>(std::lround(spec.y + lineHeight * static_cast<float>(l)));
        FT_Face face = Face(spec.font, spec.size, error);
        if (!face) return false;
        long pen = std::lround(left * 64.0f);
        FT_UInt previous = 0;
        for (char32_t cp : Decode(lines[l])) {
            const FT_UInt glyph = FT_Get_Char_Index(face, cp);
            if (previous && glyph && FT_HAS_KERNING(face)) {
                FT_Vector kern;
                if (FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &kern) == 0) pen += kern.x;
            }
            previous = glyph;
            if (FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT) != 0) continue;
            FT_GlyphSlot slot = face->glyph;
            const long advance = slot->advance.x;
            if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0) {
                const FT_Bitmap& bitmap = slot->bitmap;
                const int originX = static_cast<int>((pen + 32) >> 6) + slot->bitmap_left;
                const int originY = baseline - slot->bitmap_top;
                for (unsigned row = 0; row < bitmap.rows; ++row) {
                    const int y = originY + static_cast<int>(row);
                    if (y < 0 || y >= height) continue;
                    for (unsigned column = 0; column < bitmap.width; ++column) {
                        const int x = originX + static_cast<int>(column);
                        if (x < 0 || x >= width) continue;
                        const float value = bitmap.buffer[row * bitmap.pitch + column] / 255.0f;
                        float& cell = mask[static_cast<size_t>(y) * width + x];
                        cell = std::max(cell, value);
                    }
                }
            }
            pen += advance + std::lround(spec.tracking * 64.0f);
        }
    }
    return true;
}
