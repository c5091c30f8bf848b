// Draws a Picture: each layer's shape becomes a coverage mask (geometric
// shapes from their signed distance, one pixel of anti-aliasing; text from
// FreeType; glows blurred with a Gaussian), is painted and composited over
// the layers below (premultiplied alpha, in float). The result is straight
// R8G8B8A8. Deterministic: the same description gives the same bytes.
// Pictures placed by Image layers are looked up among those drawn before.
// One instance per thread.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tools/picturetool/PictureModel.h"
#include "tools/picturetool/TextRaster.h"

struct Image {
    std::uint32_t width = 0, height = 0;
    std::vector<std::uint8_t> rgba;  // straight alpha, row by row, top row first
};

class Raster {
public:
    // The picture's pixels; false with the reason (a font that does not
    // open, an unknown picture in an Image layer).
    bool Draw(const Picture& picture, Image* out, std::string* error);
    // Keeps a drawn picture for later Image layers.
    void Remember(const std::string& name, const Image& image) { drawn_[name] = image; }

    // Coverage of a shape over a width x height picture (0..1 per pixel).
    bool Coverage(const Shape& shape, int width, int height, std::vector<float>* mask, std::string* error);
    // A Gaussian blur of a mask (standard deviation sigma pixels), in place.
    static void Blur(std::vector<float>& mask, int width, int height, float sigma);
    // The colour of a paint at the pixel centre (x, y).
    static Colour PaintAt(const Paint& paint, int x, int y);

    TextRaster& Text() { return text_; }

private:
    TextRaster text_;
    std::map<std::string, Image> drawn_;
};
