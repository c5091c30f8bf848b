// Reads picture descriptions: Lua 5.1 files run one after another in one
// state, in the order given, so a first file can define the palette, fonts
// and helpers the others use. A description calls picture{...} (a texture)
// or preview{...} (a composition shown on the contact sheet only) with a
// name, width, height, format ("bgra", "bgr" or "bc3"), mips and layers.
// Shape constructors: whole, rect, ellipse, ring, arc, polygon, line,
// outline, text, stars, union, intersect, subtract; layer constructors fill,
// glow, image; paints are a colour ("#rrggbb" or "#rrggbbaa") or
// linear(x0, y0, x1, y1, stops) / radial(cx, cy, rx, ry, stops) with stops
// {{0, colour}, ..., {1, colour}}. text_width(font, size, text) measures a
// line. A misspelt key, a wrong type or an unknown kind is an error naming
// the picture. One instance per thread.
#pragma once
#include <string>
#include <vector>

#include "tools/picturetool/PictureModel.h"

class TextRaster;

class DescriptionReader {
public:
    explicit DescriptionReader(TextRaster& text) : text_(text) {}

    // Runs the files in order and appends their pictures, in the order
    // they were described; false with the reason on the first error.
    bool Read(const std::vector<std::string>& files, std::vector<Picture>* pictures, std::string* error);
    // The same for description text (name: shown in errors).
    bool ReadText(const std::string& name, const std::string& source, std::vector<Picture>* pictures,
                  std::string* error);

    TextRaster& Text() { return text_; }

private:
    bool Run(const std::vector<std::pair<std::string, std::string>>& sources, std::vector<Picture>* pictures,
             std::string* error);

    TextRaster& text_;
};
