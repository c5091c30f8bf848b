// Saves what a colour texture holds (a render target, the back buffer) as a
// PNG file, rows top first, for tests and tools that keep a picture of a
// frame to look at. Stateless; main thread only (reads the texture back).
#pragma once
#include <string>

class GpuTexture;

class GpuPicture {
public:
    // R8G8B8A8 and R8 textures (mip 0 of slice 0); the file is written whole
    // or not at all, by WriteWholeFile's rule. False with the reason, naming
    // the file, in `error`.
    static bool SavePng(const GpuTexture& texture, const std::string& path, std::string* error = nullptr);
};
