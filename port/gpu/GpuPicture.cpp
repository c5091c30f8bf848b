#include "port/gpu/GpuPicture.h"

#include <stb/stb_image_write.h>

#include <cstdint>
#include <vector>

#include "port/gpu/GpuTexture.h"
#include "port/os/WholeFileWriter.h"

bool GpuPicture::SavePng(const GpuTexture& texture, const std::string& path, std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error) *error = path + ": " + why;
        return false;
    };
    const GpuTextureDesc& desc = texture.GetDesc();
    int channels = 0;
    if (desc.format == GpuFormat::R8G8B8A8_UNORM)
        channels = 4;
    else if (desc.format == GpuFormat::R8_UNORM)
        channels = 1;
    else
        return fail("only 8-bit colour textures are saved");
    std::vector<std::uint8_t> bytes;
    if (!texture.ReadBack(0, &bytes)) return fail("the texture cannot be read back");
    const int width = static_cast<int>(desc.width), height = static_cast<int>(desc.height);
    if (bytes.size() < static_cast<std::size_t>(width) * height * channels) return fail("short read-back");
    std::string png;
    const auto append = [](void* context, void* data, int size) {
        static_cast<std::string*>(context)->append(static_cast<const char*>(data), static_cast<std::size_t>(size));
    };
    if (!stbi_write_png_to_func(append, &png, width, height, channels, bytes.data(), width * channels))
        return fail("cannot be encoded");
    return WriteWholeFile(path, png, error);
}
