#include "render/mesh/NoiseGrid.h"

#include <algorithm>
#include <cmath>

#include "port/gpu/GpuTexture.h"
#include "render/frame/RenderResources.h"

NoiseGrid::NoiseGrid(u32 width_, u32 height_, u32 depth_)
    : width(width_), height(height_), depth(depth_), values(static_cast<size_t>(width_) * height_ * depth_, 0.0f) {}

namespace {
float Clamp01(float t) {
    if (!(t >= 0.0f)) return 0.0f;  // NaN too
    return t > 1.0f ? 1.0f : t;
}

float CosineWeight(float t) {
    return (1.0f - std::cos(static_cast<float>(M_PI) * t)) / 2.0f;
}

u8 ChannelByte(float a, float b, float g) {
    const float value = (a * (1.0f - g) + b * g) * 255.0f;
    if (!(value > 0.0f)) return 0;
    return value >= 255.0f ? 255 : static_cast<u8>(value);
}
}  // namespace

float NoiseGrid::SampleCosine(const NoiseGrid* grid, float u, float v) {
    if (!grid || grid->width == 0 || grid->height == 0 || grid->values.empty()) return 1.0f;
    const float x = Clamp01(u) * static_cast<float>(grid->width - 1);
    const float y = Clamp01(v) * static_cast<float>(grid->height - 1);
    const u32 x0 = std::min(static_cast<u32>(std::floor(x)), grid->width - 1);
    const u32 y0 = std::min(static_cast<u32>(std::floor(y)), grid->height - 1);
    const float wx = CosineWeight(x - static_cast<float>(x0));
    const float wy = CosineWeight(y - static_cast<float>(y0));
    const u32 x1 = (x0 + 1) % grid->width;
    const u32 y1 = (y0 + 1) % grid->height;
    const float top = grid->At(x0, y0) * (1.0f - wx) + grid->At(x1, y0) * wx;
    const float bottom = grid->At(x0, y1) * (1.0f - wx) + grid->At(x1, y1) * wx;
    return top * (1.0f - wy) + bottom * wy;
}

void NoiseGrid::FillTexels(const NoiseGrid& grid, const D3DXCOLOR& a, const D3DXCOLOR& b, u8* texels, u32 rowPitch) {
    // Texel row x, column y shows cell (x, y) of layer 0.
    for (u32 x = 0; x < grid.width; ++x) {
        u8* row = texels + static_cast<size_t>(x) * rowPitch;
        for (u32 y = 0; y < grid.height; ++y) {
            const float g = grid.At(x, y);
            u8* texel = row + static_cast<size_t>(y) * 4;
            texel[0] = ChannelByte(a.r, b.r, g);
            texel[1] = ChannelByte(a.g, b.g, g);
            texel[2] = ChannelByte(a.b, b.b, g);
            texel[3] = ChannelByte(a.a, b.a, g);
        }
    }
}

std::shared_ptr<GpuTexture> NoiseGrid::MakeTexture(const NoiseGrid& grid, const D3DXCOLOR& colourA,
                                                   const D3DXCOLOR& colourB) {
    RenderResources* resources = RenderResources::Instance();
    if (!resources || grid.width == 0 || grid.height == 0) return nullptr;
    std::shared_ptr<GpuTexture> texture = resources->CreateDynamicTexture(TextureWidth(grid), TextureHeight(grid));
    if (!texture) return nullptr;
    GpuMappedSubresource mapped;
    if (texture->Map(0, GpuMap::WriteDiscard, &mapped)) {
        FillTexels(grid, colourA, colourB, static_cast<u8*>(mapped.data), mapped.rowPitch);
        texture->Unmap(0);
    }
    return texture;
}
