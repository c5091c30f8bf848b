// The engine-wide source of procedural noise for primitives: white noise drawn
// from the C runtime's rand() sequence (CRand), smoothed layers per octave
// and their fractal sums, and the textures that show them. Grids and
// textures are cached under everything they depend on, in bounded caches
// that drop the least recently asked for first (a texture only when no
// Material holds it). Created at start-up with the render-side singletons.
// Main thread only.
#pragma once
#include <array>
#include <cstddef>
#include <map>
#include <memory>
#include <tuple>

#include "core/Singleton.h"
#include "core/Types.h"
#include "render/mesh/NoiseGrid.h"

class GpuShaderResourceView;

class NoiseGenerator : public Singleton<NoiseGenerator> {
public:
    // Requests are clamped to these sizes: every grid has at least 2 x 2
    // cells and one octave; the bounds keep hostile settings from asking for
    // gigabytes.
    static constexpr int kMinSide = 2;
    static constexpr int kMaxSide = 1024;
    static constexpr int kMaxOctaves = 10;
    // Cache bounds, in bytes of cells or texels. A white grid dropped and
    // asked for again draws anew from the sequence.
    static constexpr std::size_t kMaxWhiteBytes = std::size_t(32) << 20;
    static constexpr std::size_t kMaxResultBytes = std::size_t(64) << 20;
    static constexpr std::size_t kMaxTextureBytes = std::size_t(128) << 20;

    struct CacheBounds {
        std::size_t whiteBytes = kMaxWhiteBytes;
        std::size_t resultBytes = kMaxResultBytes;
        std::size_t textureBytes = kMaxTextureBytes;
    };

    // bounds: the program's own unless a test asks for smaller ones.
    explicit NoiseGenerator(const CacheBounds& bounds);
    NoiseGenerator() : NoiseGenerator(CacheBounds{}) {}
    ~NoiseGenerator();

    // The fractal sum of `octaves` smoothed layers of white noise, the
    // coarsest weighted by persistence and each finer one by one factor of
    // persistence less, divided by the sum of the weights. Sizes and octaves
    // are clamped (above); a persistence whose weights sum to 0 or to no
    // finite number gives null with a log row. The grid stays owned here,
    // valid until the next request.
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
    // (NoiseGrid::MakeTexture), made once per grid and colour pair and shared
    // with the Materials that show it (they hold it while they do). `grid`
    // is the last GetFractalNoise result. Null without a device, and when
    // the textures held by Materials fill the cache (the scene's first such
    // refusal logged, naming objectId, the object it is for).
    std::shared_ptr<GpuShaderResourceView> GetTextureView(const NoiseGrid* grid, const D3DXCOLOR& colourA,
                                                          const D3DXCOLOR& colourB, u32 objectId = 0);
    // A scene was cleared: the next refusal is logged again.
    void NewScene() { reported_ = false; }

    // Bytes the caches hold now (the smoothed layers not counted).
    std::size_t WhiteBytes() const { return BytesOf(white_); }
    std::size_t ResultBytes() const { return BytesOf(results_); }
    std::size_t TextureBytes() const;

private:
    using WhiteKey = std::tuple<u32, u32, bool>;
    using SmoothKey = std::tuple<u32, u32, bool, u32>;
    using ResultKey = std::tuple<u32, u32, bool, u32, float>;
    using TextureKey = std::tuple<ResultKey, std::array<u32, 8>>;

    struct CachedGrid {
        std::unique_ptr<NoiseGrid> grid;
        unsigned long long lastUse = 0;
    };
    struct CachedTexture {
        std::shared_ptr<GpuShaderResourceView> view;
        std::size_t bytes = 0;
        unsigned long long lastUse = 0;
    };

    template <class Key>
    static std::size_t BytesOf(const std::map<Key, CachedGrid>& grids) {
        std::size_t bytes = 0;
        for (const auto& entry : grids) bytes += entry.second.grid->values.size() * sizeof(float);
        return bytes;
    }
    // Drops the least recently used grids until `incoming` more bytes fit.
    template <class Key>
    static void MakeRoom(std::map<Key, CachedGrid>& grids, std::size_t incoming, std::size_t limit);
    // The same for textures no Material holds; false when they cannot fit.
    bool MakeTextureRoom(std::size_t incoming);

    CacheBounds bounds_;
    unsigned long long requests_ = 0;
    bool reported_ = false;  // a refused texture was logged in this scene
    std::map<WhiteKey, CachedGrid> white_;
    // Only the latest smoothed grid is kept (it is large); it is made again
    // when a request needs other octaves or another white grid.
    SmoothKey smoothKey_{};
    std::unique_ptr<NoiseGrid> smooth_;
    std::map<ResultKey, CachedGrid> results_;
    std::map<TextureKey, CachedTexture> textures_;
};
