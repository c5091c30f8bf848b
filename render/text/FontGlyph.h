// One printable character of a font atlas: where its coverage lies in the
// 512x512 texture and the metrics that place it on the text's pen line, in
// whole pixels. Plain data owned by its FontAtlas.
#pragma once
#include "core/Types.h"

struct FontGlyph {
    i32 x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // texel rectangle: x1 = x0 + bitmap width, y1 = y0 + rows
    signed char code = 0;
    float advance = 0;     // pen step after the character
    float bearingX = 0;    // pen to the left edge of the outline
    float bearingY = 0;    // baseline to the top of the outline (upward)
    float width = 0;       // outline width
    float height = 0;      // outline height
    float bitmapLeft = 0;  // pen to the left edge of the bitmap
    float bitmapTop = 0;   // baseline to the top row of the bitmap
    u32 index = 0;         // glyph index in the face (kerning lookups)
};
