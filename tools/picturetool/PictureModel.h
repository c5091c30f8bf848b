// What a picture description says, as plain values: the picture's name,
// size and file format, and its layers from the bottom up. Each layer covers
// a shape (geometric shapes, text, a star field, or combinations of them)
// with a paint (a colour or a gradient), as itself or as a blurred glow, or
// places another picture. Coordinates are pixels of the picture, origin at
// its top-left corner, x right, y down. Made by DescriptionReader, drawn by
// Raster. Plain values; any thread.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Straight (not premultiplied) red, green, blue, alpha in 0..1.
using Colour = std::array<float, 4>;

struct TextSpec {
    std::string text;    // '\n' starts a new line
    std::string font;    // font file path
    float size = 16.0f;  // pixel size (the em)
    float x = 0.0f;      // anchor: the first line's baseline at y
    float y = 0.0f;
    enum class Align { Left, Centre, Right } align = Align::Left;
    float wrap = 0.0f;        // > 0: lines are broken between words to fit this width
    float lineHeight = 0.0f;  // 0: 1.25 x size
    float tracking = 0.0f;    // extra pixels after each character
};

struct Shape {
    enum class Kind {
        Whole,    // the whole picture
        Rect,     // x, y (top-left), w, h, corner radius r
        Ellipse,  // centre x, y, radii w, h
        Ring,     // centre x, y, radius r, width w
        Arc,      // Ring from angle `from` to `to` (degrees, counter-clockwise from +x, y up)
        Polygon,  // points
        Line,     // from (x, y) to (x2, y2), width w, round ends
        Outline,  // the edge of children[0] (a geometric shape), width w
        Text,     // text
        Stars,    // count dots of radius up to r, seeded by seed, inside the picture
        Union,    // children
        Intersect,
        Subtract,  // children[0] less the others
    } kind = Kind::Whole;
    float x = 0.0f, y = 0.0f, w = 0.0f, h = 0.0f, r = 0.0f;
    float x2 = 0.0f, y2 = 0.0f;
    float from = 0.0f, to = 0.0f;
    float soft = 0.0f;  // extra edge softness in pixels (geometric shapes)
    std::uint32_t count = 0, seed = 0;
    std::vector<std::array<float, 2>> points;
    TextSpec text;
    std::vector<Shape> children;
};

struct Paint {
    enum class Kind { Solid, Linear, Radial } kind = Kind::Solid;
    // Linear: from (x0, y0) to (x1, y1). Radial: centre (x0, y0), radii (x1, y1).
    float x0 = 0.0f, y0 = 0.0f, x1 = 0.0f, y1 = 0.0f;
    // Gradient stops (position 0..1, colour), in rising order; Solid uses the
    // first; none is white.
    std::vector<std::pair<float, Colour>> stops;
    float grain = 0.0f;  // +- this much deterministic noise on each channel
    std::uint32_t seed = 0;
};

struct Layer {
    enum class Op { Fill, Glow, Image } op = Op::Fill;
    enum class Blend { Over, Add } blend = Blend::Over;
    Shape shape;
    Paint paint;
    float opacity = 1.0f;
    float radius = 0.0f;         // Glow: the blur's standard deviation in pixels
    float strength = 1.0f;       // Glow: the blurred coverage is multiplied by this (then at most 1)
    float dx = 0.0f, dy = 0.0f;  // Glow: offset (a drop shadow)
    std::string image;           // Image: the picture's name (made before this one)
    float scale = 1.0f;          // Image: size factor
};

struct Picture {
    enum class Format {
        Bgra,  // 32-bit A8R8G8B8, uncompressed
        Bgr,   // 24-bit R8G8B8, uncompressed, for opaque pictures
        Bc3,   // DXT5 blocks
    } format = Format::Bgra;
    std::string name;
    std::uint32_t width = 0, height = 0;
    bool mips = false;     // a full mip chain (else one level)
    bool preview = false;  // for the contact sheet only, not written as a texture
    std::vector<Layer> layers;
};
