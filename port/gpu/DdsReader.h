// Reads DDS texture files into a GpuImage: DXT1, DXT3, DXT5 (kept compressed),
// 32-bit colour with any channel masks, 24-bit colour and 8-bit luminance
// (made R8G8B8A8), with their mip levels, cube faces and array slices (DX10
// header). Every size is checked against the file length. Stateless.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

class GpuImage;

bool IsDdsFile(const std::uint8_t* bytes, size_t size);
bool ReadDds(const std::uint8_t* bytes, size_t size, GpuImage* image, std::string* error);
