// Decodes one 4x4 block of DXT1 (BC1), DXT3 (BC2) or DXT5 (BC3) data into 16
// RGBA texels (row by row, top row first). Used where the GL driver has no
// S3TC and where compressed images are converted (particle masks).
// Stateless.
#pragma once
#include <cstdint>

void DecodeDxt1Block(const std::uint8_t* block, std::uint8_t* rgba);
void DecodeDxt3Block(const std::uint8_t* block, std::uint8_t* rgba);
void DecodeDxt5Block(const std::uint8_t* block, std::uint8_t* rgba);
