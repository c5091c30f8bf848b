// A grid of float noise values, width x height cells in depth layers (depth 1
// for a flat grid), zeroed on creation; cell (x, y) of layer z is
// values[(z * height + y) * width + x]. Grids are made and owned by the
// NoiseGenerator, which keeps them until it is destroyed. Main thread only.
#pragma once
#include <memory>
#include <vector>

#include "core/Types.h"
#include "port/math/D3DX.h"

class GpuTexture;

class NoiseGrid {
public:
    NoiseGrid(u32 width, u32 height, u32 depth = 1);

    float& At(u32 x, u32 y, u32 z = 0) { return values[(static_cast<size_t>(z) * height + y) * width + x]; }
    float At(u32 x, u32 y, u32 z = 0) const { return values[(static_cast<size_t>(z) * height + y) * width + x]; }

    // Cosine-interpolated value at (u, v), each 0..1 (clamped; NaN reads as 0),
    // wrapping to the first row and column past the last. A null or empty grid
    // gives 1.0, the neutral scale for a noise-roughened shape.
    static float SampleCosine(const NoiseGrid* grid, float u, float v);

    // Size of the texture that shows a grid: grid column x becomes texel row
    // x and grid row y texel column y, so the texture is `height` texels wide
    // and `width` texels high and every cell has exactly one texel.
    static u32 TextureWidth(const NoiseGrid& grid) { return grid.height; }
    static u32 TextureHeight(const NoiseGrid& grid) { return grid.width; }
    // RGBA8 texels of the grid blended from colourA (value 0) to colourB
    // (value 1), each channel (a (1 - g) + b g) x 255 truncated toward zero and
    // kept to 0..255; rows of TextureWidth texels, rowPitch bytes apart.
    static void FillTexels(const NoiseGrid& grid, const D3DXCOLOR& colourA, const D3DXCOLOR& colourB, u8* texels,
                           u32 rowPitch);
    // A dynamic RGBA8 texture filled by FillTexels, made through
    // RenderResources; the caller owns it. Null without a device.
    static std::shared_ptr<GpuTexture> MakeTexture(const NoiseGrid& grid, const D3DXCOLOR& colourA,
                                                   const D3DXCOLOR& colourB);

    u32 width;
    u32 height;
    u32 depth;
    std::vector<float> values;
};
