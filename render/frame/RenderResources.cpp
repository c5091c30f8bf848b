#include "render/frame/RenderResources.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/Logger.h"
#include "port/gpu/GpuDevice.h"
#include "scene/DevozizuDave.h"

namespace {

// Mip levels from width x height down to 1 x 1.
u32 FullMipChain(u32 width, u32 height) {
    u32 levels = 1;
    while (width > 1 || height > 1) {
        width = std::max(1u, width / 2);
        height = std::max(1u, height / 2);
        ++levels;
    }
    return levels;
}

// The low 8 bits of c * 255 truncated toward zero (1.0 gives 255, 0.5 gives 127).
u8 ChannelByte(float c) {
    const double scaled = static_cast<double>(c) * 255.0;
    if (!(std::fabs(scaled) < 2147483648.0)) return 0;
    return static_cast<u8>(static_cast<unsigned>(static_cast<int>(scaled)) & 0xFFu);
}

}  // namespace

RenderResources::RenderResources(const FilePath& textureFolder, const FilePath& particleFolder) : RenderResources() {
    ownFolders_ = true;
    textureFolder_ = textureFolder;
    particleFolder_ = particleFolder;
}

RenderResources::RenderResources() {
    for (unsigned i = 0; i < 8; ++i)
        fallbackPalette_[i] = D3DXCOLOR(static_cast<float>(i % 3) / 3.0f, static_cast<float>(i % 5) / 5.0f,
                                        static_cast<float>(i % 7) / 7.0f, 1.0f);
}

RenderResources::~RenderResources() = default;

FilePath RenderResources::TextureFolder() const {
    if (ownFolders_) return textureFolder_;
    return DevozizuDave::Instance() ? DevozizuDave::Instance()->texture : FilePath();
}

FilePath RenderResources::ParticleFolder() const {
    if (ownFolders_) return particleFolder_;
    return DevozizuDave::Instance() ? DevozizuDave::Instance()->particle : FilePath();
}

void RenderResources::ForgetFailures() {
    failedNames_.clear();
    reportedCubes_.clear();
}

GpuShaderResourceView* RenderResources::GetTexture(const std::string& name, bool reportMissing) {
    if (name.empty()) return nullptr;
    auto named = textureNames_.find(name);
    if (named != textureNames_.end()) return named->second;
    if (!device_) return nullptr;
    const std::string wanted = TextureFolder().GetFullPath(name);
    if (auto failed = failedNames_.find(name); failed != failedNames_.end()) {
        Failure& failure = failed->second;
        if (failure.unreadable) return GetFallbackTexture();
        if (reportMissing && !failure.reported)
            Log("RenderResources: texture %s is missing; drawn without it", wanted.c_str());
        failure.reported = failure.reported || reportMissing;
        return nullptr;
    }
    // Every spelling of one file ("Rock", "./rock") shares its texture.
    const std::string file = FilePath::FileIdentity(wanted);
    if (auto cached = textureCache_.find(file); !file.empty() && cached != textureCache_.end())
        return textureNames_[name] = cached->second.get();
    std::shared_ptr<GpuShaderResourceView> view;
    std::string error;
    const GpuLoadStatus status =
        file.empty() ? GpuLoadStatus::FileNotFound : device_->CreateShaderResourceViewFromFile(file, &view, &error);
    if (status == GpuLoadStatus::Ok && view) {
        GpuShaderResourceView* result = view.get();
        textureCache_.emplace(file, std::move(view));
        return textureNames_[name] = result;
    }
    if (failedNames_.size() >= kMaxFailedNames) failedNames_.clear();
    const bool unreadable = status != GpuLoadStatus::FileNotFound;
    failedNames_.emplace(name, Failure{unreadable, unreadable || reportMissing});
    if (!unreadable) {
        if (reportMissing) Log("RenderResources: texture %s is missing; drawn without it", wanted.c_str());
        return nullptr;
    }
    Log("RenderResources: texture %s; the fallback pattern is shown", error.c_str());
    return GetFallbackTexture();
}

GpuShaderResourceView* RenderResources::GetSolidColorTexture(float r, float g, float b, float a) {
    return AcquireSolidColor(r, g, b, a, true).get();
}

std::shared_ptr<GpuShaderResourceView> RenderResources::HoldSolidColorTexture(float r, float g, float b, float a) {
    return AcquireSolidColor(r, g, b, a, false);
}

bool RenderResources::DropUnheldSolidColor() {
    auto oldest = solidColors_.end();
    for (auto it = solidColors_.begin(); it != solidColors_.end(); ++it)
        if (!it->second.pinned && it->second.view.use_count() == 1 &&
            (oldest == solidColors_.end() || it->second.lastUse < oldest->second.lastUse))
            oldest = it;
    if (oldest == solidColors_.end()) return false;
    solidColors_.erase(oldest);
    return true;
}

std::shared_ptr<GpuShaderResourceView> RenderResources::AcquireSolidColor(float r, float g, float b, float a,
                                                                          bool pin) {
    const u8 texel[4] = {ChannelByte(r), ChannelByte(g), ChannelByte(b), ChannelByte(a)};
    const u32 key = (u32{texel[0]} << 24) | (u32{texel[1]} << 16) | (u32{texel[2]} << 8) | texel[3];
    auto found = solidColors_.find(key);
    if (found == solidColors_.end() && solidColors_.size() >= kMaxSolidColors && !DropUnheldSolidColor()) {
        // Every texture is held: the nearest colour stands in.
        int best = 1 << 30;
        for (auto it = solidColors_.begin(); it != solidColors_.end(); ++it) {
            int distance = 0;
            for (int c = 0; c < 4; ++c) distance += std::abs(int((it->first >> (24 - 8 * c)) & 0xFFu) - int(texel[c]));
            if (distance < best) best = distance, found = it;
        }
        if (!reportedSolidFull_)
            Log("RenderResources: %zu solid colours are held at once; colour %08X and later new ones show the "
                "nearest held colour",
                kMaxSolidColors, key);
        reportedSolidFull_ = true;
    }
    if (found != solidColors_.end()) {
        found->second.lastUse = ++solidRequests_;
        found->second.pinned = found->second.pinned || pin;
        return found->second.view;
    }
    std::shared_ptr<GpuTexture> texture = CreateDynamicTexture(kSolidSize, kSolidSize);
    if (!texture) return nullptr;
    GpuMappedSubresource mapped;
    if (texture->Map(0, GpuMap::WriteDiscard, &mapped)) {
        for (unsigned y = 0; y < kSolidSize; ++y) {
            u8* row = static_cast<u8*>(mapped.data) + static_cast<size_t>(y) * mapped.rowPitch;
            for (unsigned x = 0; x < kSolidSize; ++x) std::copy(texel, texel + 4, row + 4 * x);
        }
        texture->Unmap(0);
    }
    std::shared_ptr<GpuShaderResourceView> view = CreateTextureView(texture);
    if (!view) return nullptr;
    solidColors_[key] = SolidColor{view, ++solidRequests_, pin};
    return view;
}

void RenderResources::ReportCubeOnce(const std::string& path, const std::string& row) {
    if (reportedCubes_.size() >= kMaxFailedNames) reportedCubes_.clear();
    if (reportedCubes_.insert(path).second) Log("RenderResources: %s; plain green is shown", row.c_str());
}

std::shared_ptr<GpuShaderResourceView> RenderResources::LoadTextureFile(const std::string& path) {
    // Keyed by the file, so "./Sky.dds" and ".//sky.dds" share one cube.
    const std::string file = FilePath::FileIdentity(path);
    if (device_ && !file.empty()) {
        std::erase_if(cubeTextures_, [](const auto& entry) { return entry.second.expired(); });
        if (std::shared_ptr<GpuShaderResourceView> held = cubeTextures_[file].lock()) return held;
    }
    if (device_ && file.empty()) {
        ReportCubeOnce(path, "cube texture " + path + " is missing");
    } else if (device_) {
        GpuImageLoadInfo info;
        info.cube = true;
        info.generateMips = false;
        std::shared_ptr<GpuTexture> texture;
        std::string error;
        const GpuLoadStatus status = device_->CreateTextureFromFile(file, info, &texture, &error);
        if (status == GpuLoadStatus::Ok) {
            GpuSrvDesc desc;
            desc.dimension = GpuSrvDimension::TextureCube;
            if (std::shared_ptr<GpuShaderResourceView> view = device_->CreateShaderResourceView(texture, &desc)) {
                cubeTextures_[file] = view;
                return view;
            }
        }
        ReportCubeOnce(path, "cube texture " + (error.empty() ? path : error));
    }
    // Missing, unreadable or not a cube: plain green, as for a missing file.
    return HoldSolidColorTexture(0, 1, 0, 1);
}

std::size_t RenderResources::CubeTextureCount() const {
    return static_cast<std::size_t>(std::count_if(cubeTextures_.begin(), cubeTextures_.end(),
                                                  [](const auto& entry) { return !entry.second.expired(); }));
}

GpuShaderResourceView* RenderResources::GetFallbackTexture() {
    if (fallbackTexture_) return fallbackTexture_.get();
    std::shared_ptr<GpuTexture> texture = CreateDynamicTexture(kFallbackSize, kFallbackSize);
    if (!texture) return nullptr;
    GpuMappedSubresource mapped;
    if (texture->Map(0, GpuMap::WriteDiscard, &mapped)) {
        for (unsigned y = 0; y < kFallbackSize; ++y) {
            u8* row = static_cast<u8*>(mapped.data) + static_cast<size_t>(y) * mapped.rowPitch;
            for (unsigned x = 0; x < kFallbackSize; ++x) {
                const unsigned d = x % 8 == 0 ? 1 : x % 8;
                const D3DXCOLOR& c = fallbackPalette_[(y % 8) % d];
                row[4 * x + 0] = ChannelByte(c.r);
                row[4 * x + 1] = ChannelByte(c.g);
                row[4 * x + 2] = ChannelByte(c.b);
                row[4 * x + 3] = ChannelByte(c.a);
            }
        }
        texture->Unmap(0);
    }
    fallbackTexture_ = CreateTextureView(texture);
    return fallbackTexture_.get();
}

std::shared_ptr<GpuTexture> RenderResources::CreateDynamicTexture(unsigned width, unsigned height,
                                                                  GpuTextureDesc* desc) {
    GpuTextureDesc d;
    d.width = width;
    d.height = height;
    d.mipLevels = 1;
    d.arraySize = 1;
    d.format = GpuFormat::R8G8B8A8_UNORM;
    d.usage = GpuUsage::Dynamic;
    d.bindFlags = GpuBindShaderResource;
    d.cpuAccessFlags = GpuCpuAccessWrite;
    if (desc) *desc = d;
    return device_ ? device_->CreateTexture(d) : nullptr;
}

std::shared_ptr<GpuShaderResourceView> RenderResources::CreateTextureView(const std::shared_ptr<GpuTexture>& texture) {
    if (!device_ || !texture) return nullptr;
    GpuSrvDesc desc;
    desc.dimension = GpuSrvDimension::Texture2D;
    return device_->CreateShaderResourceView(texture, &desc);
}

void RenderResources::LoadParticleTextures() {
    particleTextureIndex_.clear();
    FilePath folder = ParticleFolder();
    folder.ListDirectory();
    const std::vector<std::string>& names = folder.fileNames;
    if (names.empty() || !device_) return;

    constexpr std::uint64_t kMaxMaskTexelBytes = std::uint64_t(kMaxMaskFileSide) * kMaxMaskFileSide * 4;
    std::vector<GpuImage> images;
    std::vector<std::string> loaded;
    for (const std::string& name : names) {
        GpuImage image;
        std::string error;
        const std::string path = folder.GetFullPath(name);
        if (image.Load(path, &error, kMaxMaskTexelBytes) != GpuLoadStatus::Ok) {
            Log("RenderResources: particle texture left out: %s", error.c_str());
            continue;
        }
        if (image.cube || image.arraySize != 1) {
            Log("RenderResources: particle texture left out: %s is not a plain 2-D image", path.c_str());
            continue;
        }
        image.Decompress();
        // Kept at most kMaxMaskSide on a side from the start, so that the
        // masks held at once stay small whatever the files declare.
        if (image.width > kMaxMaskSide || image.height > kMaxMaskSide) {
            const u32 w = std::min(image.width, kMaxMaskSide), h = std::min(image.height, kMaxMaskSide);
            image = image.Resized(w, h, FullMipChain(w, h));
        }
        images.push_back(std::move(image));
        loaded.push_back(name);
    }
    if (images.empty()) return;

    // One size for the array: the smallest width and height among the masks,
    // with as many mips as the most any mask had (at most a full chain).
    u32 width = kMaxMaskSide, height = kMaxMaskSide, mips = 1;
    for (const GpuImage& image : images) {
        width = std::min(width, image.width);
        height = std::min(height, image.height);
        mips = std::max(mips, image.mipLevels);
    }
    mips = std::min(mips, FullMipChain(width, height));
    for (std::size_t i = 0; i < images.size(); ++i) {
        GpuImage& image = images[i];
        if (image.width == width && image.height == height && image.mipLevels == mips) continue;
        Log("RenderResources: particle texture %s resized from %ux%u (%u mips) to %ux%u (%u mips)", loaded[i].c_str(),
            image.width, image.height, image.mipLevels, width, height, mips);
        image = image.Resized(width, height, mips);
    }

    const GpuImage& first = images.front();
    GpuTextureDesc desc;
    desc.width = first.width;
    desc.height = first.height;
    desc.mipLevels = first.mipLevels;
    desc.arraySize = static_cast<u32>(images.size());
    desc.format = GpuFormat::R8G8B8A8_UNORM;
    desc.usage = GpuUsage::Default;
    desc.bindFlags = GpuBindShaderResource;
    std::vector<GpuSubresourceData> data;
    for (const GpuImage& image : images)
        for (u32 m = 0; m < first.mipLevels; ++m)
            data.push_back({image.subresources[m].data(), image.RowBytes(m), image.SubresourceBytes(m)});
    std::shared_ptr<GpuTexture> array = device_->CreateTexture(desc, data.data());
    GpuSrvDesc view;
    view.dimension = GpuSrvDimension::Texture2DArray;
    particleTextureArray_ = array ? device_->CreateShaderResourceView(array, &view) : nullptr;
    if (!particleTextureArray_) return;
    for (u32 i = 0; i < loaded.size(); ++i) particleTextureIndex_[loaded[i]] = i;
}

std::vector<std::pair<std::string, unsigned>> RenderResources::ListEntries() const {
    return {particleTextureIndex_.begin(), particleTextureIndex_.end()};
}
