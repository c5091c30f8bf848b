// Text through FreeType: lines laid out with kerning, broken between words
// to a width, aligned, and drawn as coverage (0..1 per pixel) into a mask.
// Faces are opened once per path and size and kept. One instance per
// thread.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "tools/picturetool/PictureModel.h"

struct FT_LibraryRec_;
struct FT_FaceRec_;

class TextRaster {
public:
    TextRaster();
    ~TextRaster();
    TextRaster(const TextRaster&) = delete;
    TextRaster& operator=(const TextRaster&) = delete;

    // The width in pixels of one line of text (no breaking). False with a
    // reason when the font cannot be opened.
    bool Measure(const std::string& font, float size, float tracking, const std::string& text, float* width,
                 std::string* error);
    // The lines the text makes: its own line breaks, and breaks between
    // words where a line would be wider than spec.wrap (when > 0).
    bool Lines(const TextSpec& spec, std::vector<std::string>* lines, std::string* error);
    // Draws the text's coverage into mask (width x height, row by row),
    // keeping the larger value where glyphs overlap.
    bool Draw(const TextSpec& spec, int width, int height, std::vector<float>& mask, std::string* error);

private:
    FT_FaceRec_* Face(const std::string& font, float size, std::string* error);

    FT_LibraryRec_* library_ = nullptr;
    std::map<std::string, FT_FaceRec_*> faces_;
};
