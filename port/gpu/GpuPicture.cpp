#include "port/gpu/GpuPicture.h"

#include <stb/stb_image_write.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "port/gpu/GpuTexture.h"

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
    // Written beside the target and renamed over it once complete.
    const std::string partial = path + ".partial";
    if (!stbi_write_png(partial.c_str(), width, height, channels, bytes.data(), width * channels)) {
        std::remove(partial.c_str());
        return fail("cannot be written");
    }
    std::error_code renamed;
    std::filesystem::rename(partial, path, renamed);
    if (renamed) {
        std::remove(partial.c_str());
        return fail(renamed.message());
    }
    return true;
}
