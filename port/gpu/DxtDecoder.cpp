#include "port/gpu/DxtDecoder.h"

namespace {

std::uint32_t Read32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void Expand565(std::uint16_t c, std::uint8_t* rgb) {
    const unsigned r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
    rgb[0] = static_cast<std::uint8_t>((r << 3) | (r >> 2));
    rgb[1] = static_cast<std::uint8_t>((g << 2) | (g >> 4));
    rgb[2] = static_cast<std::uint8_t>((b << 3) | (b >> 2));
}

// The colour half of every DXT block; `fourColours` is forced for DXT3/5.
void DecodeColours(const std::uint8_t* block, std::uint8_t* rgba, bool fourColours) {
    const std::uint16_t c0 = static_cast<std::uint16_t>(block[0] | block[1] << 8);
    const std::uint16_t c1 = static_cast<std::uint16_t>(block[2] | block[3] << 8);
    std::uint8_t palette[4][4];
    Expand565(c0, palette[0]);
    Expand565(c1, palette[1]);
    palette[0][3] = palette[1][3] = 255;
    if (fourColours || c0 > c1) {
        for (int k = 0; k < 3; ++k) {
            palette[2][k] = static_cast<std::uint8_t>((2 * palette[0][k] + palette[1][k]) / 3);
            palette[3][k] = static_cast<std::uint8_t>((palette[0][k] + 2 * palette[1][k]) / 3);
        }
        palette[2][3] = palette[3][3] = 255;
    } else {
        for (int k = 0; k < 3; ++k) palette[2][k] = static_cast<std::uint8_t>((palette[0][k] + palette[1][k]) / 2);
        palette[2][3] = 255;
        palette[3][0] = palette[3][1] = palette[3][2] = palette[3][3] = 0;
    }
    const std::uint32_t indices = Read32(block + 4);
    for (int i = 0; i < 16; ++i) {
        const std::uint8_t* c = palette[(indices >> (2 * i)) & 3];
        for (int k = 0; k < 4; ++k) rgba[4 * i + k] = c[k];
    }
}

}  // namespace

void DecodeDxt1Block(const std::uint8_t* block, std::uint8_t* rgba) {
    DecodeColours(block, rgba, false);
}

void DecodeDxt3Block(const std::uint8_t* block, std::uint8_t* rgba) {
    DecodeColours(block + 8, rgba, true);
    for (int i = 0; i < 16; ++i) {
        const unsigned nibble = (block[i / 2] >> (4 * (i % 2))) & 15;
        rgba[4 * i + 3] = static_cast<std::uint8_t>(nibble * 17);
    }
}

void DecodeDxt5Block(const std::uint8_t* block, std::uint8_t* rgba) {
    DecodeColours(block + 8, rgba, true);
    const unsigned a0 = block[0], a1 = block[1];
    unsigned alpha[8] = {a0, a1};
    if (a0 > a1) {
        for (unsigned i = 1; i < 7; ++i) alpha[i + 1] = ((7 - i) * a0 + i * a1) / 7;
    } else {
        for (unsigned i = 1; i < 5; ++i) alpha[i + 1] = ((5 - i) * a0 + i * a1) / 5;
        alpha[6] = 0;
        alpha[7] = 255;
    }
    std::uint64_t bits = 0;
    for (int i = 0; i < 6; ++i) bits |= static_cast<std::uint64_t>(block[2 + i]) << (8 * i);
    for (int i = 0; i < 16; ++i) rgba[4 * i + 3] = static_cast<std::uint8_t>(alpha[(bits >> (3 * i)) & 7]);
}
