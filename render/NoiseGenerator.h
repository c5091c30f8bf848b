// The engine-wide source of procedural noise for primitives: white noise drawn
// from the C runtime's rand() sequence (CRand), smoothed layers per octave
// and their fractal sums. Every grid is cached under everything it depends on
// and owned by the generator until it is destroyed at shutdown. Created at
// start-up with the render-side singletons. Main thread only.
#pragma once
#include <array>
#include <map>
#include <memory>
#include <tuple>

#include "core/Singleton.h"
#include "core/Types.h"
#include "render/NoiseGrid.h"

class GpuShaderResourceView;

class NoiseGenerator : public Singleton<NoiseGenerator> {
public:
    // Requests are clamped to these sizes: every grid has at least 2 x 2
    // cells and one octave; the bounds keep hostile settings from asking for
    // gigabytes.
    static constexpr int kMinSide = 2;
    static constexpr int kMaxSide = 1024;
    static constexpr int kMaxOctaves = 10;

    NoiseGenerator();
    ~NoiseGenerator();

    // The fractal sum of `octaves` smoothed layers of white noise, the
    // coarsest weighted by persistence and each finer one by one factor of
    // persistence less, divided by the sum of the weights. Sizes and octaves
    // are clamped (above); a persistence whose weights sum to 0 or to no
    // finite number gives null with a log row. The grid stays owned here.
    NoiseGrid* GetFractalNoise(int width, int height, int octaves, float persistence, bool gaussian);

    // width x height cells drawn column by column (x outer, y inner), one
    // CRand() per cell, r / 32767; with gaussian two more draws are added
    // (each / 32767) and the sum is capped at 1.0.
    static std::unique_ptr<NoiseGrid> MakeWhiteNoise(u32 width, u32 height, bool gaussian);
    // One layer per octave o with period 2^o: quintic fade along x, cosine
    // along y between the white cells of the period's corners (wrapping).
    // Layer 0 equals the white grid, whose size must be width x height.
    static std::unique_ptr<NoiseGrid> MakeSmoothNoise(u32 width, u32 height, u32 octaves, const NoiseGrid& white);

    // The view of the grid's texture blended from colourA to colourB
    // (NoiseGrid::MakeTexture), made once per grid and colour pair and owned
    // here, so the Models that show it borrow it like any texture. Null
    // without a device.
    GpuShaderResourceView* GetTextureView(const NoiseGrid* grid, const D3DXCOLOR& colourA, const D3DXCOLOR& colourB);

private:
    using TextureKey = std::tuple<const NoiseGrid*, std::array<u32, 8>>;
    using WhiteKey = std::tuple<u32, u32, bool>;
    using SmoothKey = std::tuple<u32, u32, bool, u32>;
    using ResultKey = std::tuple<u32, u32, bool, u32, float>;

    // White grids stay for the run: each key draws from the sequence once.
    std::map<WhiteKey, std::unique_ptr<NoiseGrid>> white_;
    // Only the latest smoothed grid is kept (it is large); it is made again
    // when a request needs other octaves or another white grid.
    SmoothKey smoothKey_{};
    std::unique_ptr<NoiseGrid> smooth_;
    std::map<ResultKey, std::unique_ptr<NoiseGrid>> results_;
    std::map<TextureKey, std::shared_ptr<GpuShaderResourceView>> textures_;
};
