// The files the picture tool writes: a picture as a DDS texture in its
// format (32-bit A8R8G8B8 or 24-bit R8G8B8 uncompressed, or DXT5 blocks made
// by stb_dxt), with its mip chain when asked for; and a contact sheet, a PNG
// of every picture scaled into a grid cell over a chequer with its name
// under it. Pure functions; deterministic.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/picturetool/PictureModel.h"
#include "tools/picturetool/Raster.h"

// The levels of a mip chain, each half the one above (rounded down, at
// least 1) made by averaging 2 x 2 pixels (alpha-weighted); level 0 is the
// image itself.
std::vector<Image> MipChain(const Image& image);

// The DDS file of an image in a format, one level or the whole chain.
std::vector<std::uint8_t> EncodePictureDds(const Image& image, Picture::Format format, bool mips);

// An image scaled by a factor <= 1 (box filter over the covered pixels).
Image Shrink(const Image& image, float factor);

struct SheetEntry {
    std::string label;
    const Image* image;
};
// The contact sheet: cells of at most cellWidth x cellHeight pixels (images
// shrunk to fit, never enlarged), columns as many as fit in sheetWidth, each
// label under its cell (drawn with the font at 14 pixels). RGBA pixels.
bool MakeContactSheet(const std::vector<SheetEntry>& entries, int sheetWidth, int cellWidth, int cellHeight,
                      const std::string& font, TextRaster& text, Image* out, std::string* error);
// A PNG file of an image.
bool WritePng(const std::string& path, const Image& image);
