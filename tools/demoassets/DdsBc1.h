// DDS files of DXT1 (BC1) blocks: a square R8G8B8A8 image, or a cube of six,
// with all its mips compressed block by block (stb_dxt, high quality, no
// alpha). For the big textless textures of the models, tunnels and skies,
// which it makes eight times smaller. Pure function; any thread.
#pragma once
#include <cstdint>
#include <vector>

#include "port/gpu/GpuImage.h"

std::vector<std::uint8_t> EncodeBc1Dds(const GpuImage& image);
