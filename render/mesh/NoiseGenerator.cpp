#include "render/mesh/NoiseGenerator.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/Logger.h"
#include "port/gpu/GpuShaderResourceView.h"
#include "port/gpu/GpuTexture.h"
#include "port/os/CRand.h"
#include "render/frame/RenderResources.h"

namespace {
u32 ClampSide(int side) {
    return static_cast<u32>(std::clamp(side, NoiseGenerator::kMinSide, NoiseGenerator::kMaxSide));
}

float Quintic(float t) {
    return 6.0f * t * t * t * t * t - 15.0f * t * t * t * t + 10.0f * t * t * t;
}
}  // namespace

NoiseGenerator::NoiseGenerator(const CacheBounds& bounds) : bounds_(bounds) {}
NoiseGenerator::~NoiseGenerator() = default;

template <class Key>
void NoiseGenerator::MakeRoom(std::map<Key, CachedGrid>& grids, std::size_t incoming, std::size_t limit) {
    while (!grids.empty() && BytesOf(grids) + incoming > limit) {
        auto oldest = grids.begin();
        for (auto it = grids.begin(); it != grids.end(); ++it)
            if (it->second.lastUse < oldest->second.lastUse) oldest = it;
        grids.erase(oldest);
    }
}

std::size_t NoiseGenerator::TextureBytes() const {
    std::size_t bytes = 0;
    for (const auto& entry : textures_) bytes += entry.second.bytes;
    return bytes;
}

bool NoiseGenerator::MakeTextureRoom(std::size_t incoming) {
    while (TextureBytes() + incoming > bounds_.textureBytes) {
        auto oldest = textures_.end();
        for (auto it = textures_.begin(); it != textures_.end(); ++it)
            if (it->second.view.use_count() == 1 &&
                (oldest == textures_.end() || it->second.lastUse < oldest->second.lastUse))
                oldest = it;
        if (oldest == textures_.end()) return false;
        textures_.erase(oldest);
    }
    return true;
}

std::shared_ptr<GpuShaderResourceView> NoiseGenerator::GetTextureView(const NoiseGrid* grid, const D3DXCOLOR& a,
                                                                      const D3DXCOLOR& b, u32 objectId) {
    if (!grid) return nullptr;
    const auto made = std::find_if(results_.begin(), results_.end(),
                                   [grid](const auto& entry) { return entry.second.grid.get() == grid; });
    if (made == results_.end()) return nullptr;
    std::array<u32, 8> colours;
    const float channels[8] = {a.r, a.g, a.b, a.a, b.r, b.g, b.b, b.a};
    std::memcpy(colours.data(), channels, sizeof channels);
    const TextureKey key{made->first, colours};
    if (auto found = textures_.find(key); found != textures_.end()) {
        found->second.lastUse = ++requests_;
        return found->second.view;
    }
    RenderResources* resources = RenderResources::Instance();
    if (!resources || !resources->GetDevice()) return nullptr;
    const std::size_t bytes =
        static_cast<std::size_t>(NoiseGrid::TextureWidth(*grid)) * NoiseGrid::TextureHeight(*grid) * 4;
    if (!MakeTextureRoom(bytes)) {
        if (!reported_)
            Log("NoiseGenerator: the noise textures in use fill their %zu MiB; a %u x %u noise texture for object %u "
                "is "
                "not made, nor are later ones past the bound, which are not logged until the scene is cleared",
                bounds_.textureBytes >> 20, grid->width, grid->height, objectId);
        reported_ = true;
        return nullptr;
    }
    std::shared_ptr<GpuTexture> texture = NoiseGrid::MakeTexture(*grid, a, b);
    if (!texture) return nullptr;
    std::shared_ptr<GpuShaderResourceView> view = resources->CreateTextureView(texture);
    if (!view) return nullptr;
    textures_[key] = CachedTexture{view, bytes, ++requests_};
    return view;
}

NoiseGrid* NoiseGenerator::GetFractalNoise(int width, int height, int octaves, float persistence, bool gaussian) {
    const u32 w = ClampSide(width);
    const u32 h = ClampSide(height);
    const u32 layers = static_cast<u32>(std::clamp(octaves, 1, kMaxOctaves));
    if (w != static_cast<u32>(width) || h != static_cast<u32>(height) || layers != static_cast<u32>(octaves)) {
        Log("NoiseGenerator: noise of %d x %d cells, %d octaves, made as %u x %u, %u octaves", width, height, octaves,
            w, h, layers);
    }

    // The weights: the coarsest layer gets persistence, each finer one a
    // factor of persistence less.
    float total = 0.0f;
    float amplitude = 1.0f;
    for (u32 o = 0; o < layers; ++o) {
        amplitude *= persistence;
        total += amplitude;
    }
    if (!std::isfinite(total) || total == 0.0f) {
        Log("NoiseGenerator: persistence %f with %u octaves gives no noise", persistence, layers);
        return nullptr;
    }

    const ResultKey resultKey{w, h, gaussian, layers, persistence};
    if (auto found = results_.find(resultKey); found != results_.end()) {
        found->second.lastUse = ++requests_;
        return found->second.grid.get();
    }

    const std::size_t gridBytes = static_cast<std::size_t>(w) * h * sizeof(float);
    const WhiteKey whiteKey{w, h, gaussian};
    auto white = white_.find(whiteKey);
    if (white == white_.end()) {
        MakeRoom(white_, gridBytes, bounds_.whiteBytes);
        white = white_.emplace(whiteKey, CachedGrid{MakeWhiteNoise(w, h, gaussian), 0}).first;
    }
    white->second.lastUse = ++requests_;

    const SmoothKey smoothKey{w, h, gaussian, layers};
    if (!smooth_ || smoothKey_ != smoothKey) {
        smooth_.reset();
        smooth_ = MakeSmoothNoise(w, h, layers, *white->second.grid);
        smoothKey_ = smoothKey;
    }

    auto result = std::make_unique<NoiseGrid>(w, h);
    amplitude = 1.0f;
    for (int o = static_cast<int>(layers) - 1; o >= 0; --o) {
        amplitude *= persistence;
        for (u32 y = 0; y < h; ++y)
            for (u32 x = 0; x < w; ++x) result->At(x, y) += smooth_->At(x, y, static_cast<u32>(o)) * amplitude;
    }
    for (float& value : result->values) value /= total;

    NoiseGrid* grid = result.get();
    MakeRoom(results_, gridBytes, bounds_.resultBytes);
    results_[resultKey] = CachedGrid{std::move(result), ++requests_};
    return grid;
}

std::unique_ptr<NoiseGrid> NoiseGenerator::MakeWhiteNoise(u32 width, u32 height, bool gaussian) {
    auto grid = std::make_unique<NoiseGrid>(width, height);
    const float scale = static_cast<float>(CRAND_MAX);
    for (u32 x = 0; x < width; ++x) {
        for (u32 y = 0; y < height; ++y) {
            float value = static_cast<float>(CRand()) / scale;
            if (gaussian) {
                value += static_cast<float>(CRand()) / scale;
                value += static_cast<float>(CRand()) / scale;
            }
            grid->At(x, y) = std::min(value, 1.0f);
        }
    }
    return grid;
}

std::unique_ptr<NoiseGrid> NoiseGenerator::MakeSmoothNoise(u32 width, u32 height, u32 octaves, const NoiseGrid& white) {
    auto grid = std::make_unique<NoiseGrid>(width, height, octaves);
    if (white.width != width || white.height != height) return grid;
    const float pi = static_cast<float>(M_PI);
    for (u32 o = 0; o < octaves; ++o) {
        const u32 period = 1u << o;
        const float p = static_cast<float>(period);
        for (u32 x = 0; x < width; ++x) {
            const u32 x0 = (x / period) * period;
            const u32 x1 = (x0 + period) % width;
            const float hx = Quintic(static_cast<float>(x - x0) / p);
            for (u32 y = 0; y < height; ++y) {
                const u32 y0 = (y / period) * period;
                const u32 y1 = (y0 + period) % height;
                const float ty = static_cast<float>(y - y0) / p;
                const float hy = (1.0f - std::cos(pi * ty)) / 2.0f;
                const float top = white.At(x0, y0) * (1.0f - hx) + white.At(x1, y0) * hx;
                const float bottom = white.At(x0, y1) * (1.0f - hx) + white.At(x1, y1) * hx;
                grid->At(x, y, o) = top * (1.0f - hy) + bottom * hy;
            }
        }
    }
    return grid;
}
