// The engine-wide holder of shader-readable textures: file textures of the
// "texture" folder cached by the file found (every spelling of one file
// shares it: FilePath::FileIdentity), solid one-colour textures cached by their
// colour bytes (a bounded cache: see kMaxSolidColors),
// the fallback pattern, the array of particle alpha masks of the "particle"
// folder, sky box cubes shared while held, and, uncached, bare dynamic
// textures for callers that fill them (font atlases, noise). Also the default colours of missing
// normal, specular and glow maps. One instance for the run, made at start-up
// before the device; GraphicsSystem::Init hands it the device. Views returned
// as raw pointers are borrowed: it keeps them until it goes. Main thread only.
#pragma once
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/Singleton.h"
#include "engine/FilePath.h"
#include "port/gpu/GpuTypes.h"
#include "port/math/D3DXColor.h"

class GpuDevice;
class GpuShaderResourceView;
class GpuTexture;

class RenderResources : public Singleton<RenderResources> {
public:
    // Reads the "texture" and "particle" asset folders of the DevozizuDave
    // when it uses them.
    RenderResources();
    // With folders of its own (tests, tools).
    RenderResources(const FilePath& textureFolder, const FilePath& particleFolder);
    ~RenderResources();

    void SetDevice(std::shared_ptr<GpuDevice> device) { device_ = std::move(device); }
    GpuDevice* GetDevice() const { return device_.get(); }

    // The texture file `name` (no folder, no extension), loaded once per
    // file: null for an empty name, a missing file or no device; the
    // fallback pattern for a file that cannot be read. A missing or
    // unreadable name gets one log row naming it (none for a missing one
    // when `reportMissing` is clear: a look for a companion map that may well
    // not exist) and is remembered as such until ForgetFailures, so the
    // folder is searched for it once per scene, not once per object.
    GpuShaderResourceView* GetTexture(const std::string& name, bool reportMissing = true);
    // A scene was cleared: names found missing or unreadable are looked for
    // (and reported) again, a file added or mended meanwhile is found.
    void ForgetFailures();
    // Names remembered as missing or unreadable; past it the memory starts anew.
    static constexpr std::size_t kMaxFailedNames = 100000;
    // A texture of one colour, shared by every colour of the same RGBA8 bytes,
    // held by the caller (a Material keeps it in generatedDiffuse or
    // generatedGlow). The cache keeps at most kMaxSolidColors; when full it
    // drops the textures nobody holds, least recently asked for first, and
    // when every one is held it gives the nearest colour it has (one log
    // row). Null without a device.
    std::shared_ptr<GpuShaderResourceView> HoldSolidColorTexture(float r, float g, float b, float a);
    // The same for a caller that keeps no hold (the renderer's per-frame
    // defaults, tests): the texture stays cached for the run.
    GpuShaderResourceView* GetSolidColorTexture(float r, float g, float b, float a);
    std::size_t SolidColorCount() const { return solidColors_.size(); }
    // A cube texture from a full path, held by the caller (a sky box keeps
    // it as long as it lives) and shared by every holder of the same file
    // (FilePath::FileIdentity: letter case, "./" and "//" folded): loaded
    // again only once nobody holds it, so a scene's clear releases it with
    // its sky boxes. The held plain green (a 2-D texture, not shared as a
    // cube) when it is missing or cannot be loaded, with one log row per
    // path and scene; a later call tries the file again. Null without a
    // device.
    std::shared_ptr<GpuShaderResourceView> LoadTextureFile(const std::string& path);
    // Cube textures held now.
    std::size_t CubeTextureCount() const;
    // The 64x64 pattern shown for textures that cannot be read.
    GpuShaderResourceView* GetFallbackTexture();
    // A width x height R8G8B8A8 texture with CPU write access, owned by the
    // caller; its description is copied to `desc` when given. Null without a device.
    std::shared_ptr<GpuTexture> CreateDynamicTexture(unsigned width, unsigned height, GpuTextureDesc* desc = nullptr);
    // A 2-D view over every mip of `texture`, owned by the caller.
    std::shared_ptr<GpuShaderResourceView> CreateTextureView(const std::shared_ptr<GpuTexture>& texture);

    // Particle masks are sprites: files declaring more than kMaxMaskFileSide
    // squared texels are not decoded, and masks are kept at most kMaxMaskSide
    // on a side.
    static constexpr unsigned kMaxMaskFileSide = 4096;
    static constexpr unsigned kMaxMaskSide = 256;
    // Builds the particle texture array from every file of the "particle"
    // folder (listed in name order); slice i is the i-th file that loads.
    // Every mask is resized to the smallest width and height among them
    // (mips: the most any had); files that cannot be loaded are left out
    // (both logged).
    void LoadParticleTextures();
    // (name, slice) of every particle texture in ascending name order.
    std::vector<std::pair<std::string, unsigned>> ListEntries() const;
    GpuShaderResourceView* GetParticleTextureArray() const { return particleTextureArray_.get(); }

    D3DXCOLOR defaultNormalColor{0, 0, 1, 1};
    D3DXCOLOR defaultSpecularColor{1, 1, 1, 1};
    D3DXCOLOR defaultGlowColor{0, 0, 0, 1};

    // A solid colour's texture side (one texel samples as well as many).
    static constexpr unsigned kSolidSize = 1;
    static constexpr std::size_t kMaxSolidColors = 1024;
    static constexpr unsigned kFallbackSize = 64;
    // Palette entry i of the fallback pattern.
    const D3DXCOLOR& FallbackPalette(unsigned i) const { return fallbackPalette_[i % 8]; }

private:
    struct SolidColor {
        std::shared_ptr<GpuShaderResourceView> view;
        unsigned long long lastUse = 0;
        bool pinned = false;  // asked for without a hold: kept for the run
    };
    std::shared_ptr<GpuShaderResourceView> AcquireSolidColor(float r, float g, float b, float a, bool pin);
    // Drops the least recently asked-for texture nobody holds; false when none can go.
    bool DropUnheldSolidColor();

    std::shared_ptr<GpuDevice> device_;
    std::map<std::string, unsigned> particleTextureIndex_;
    std::shared_ptr<GpuShaderResourceView> particleTextureArray_;
    D3DXCOLOR fallbackPalette_[8];
    std::shared_ptr<GpuShaderResourceView> fallbackTexture_;
    struct Failure {
        bool unreadable = false;  // else missing
        bool reported = false;
    };
    // Logs `row` unless `path` was reported since ForgetFailures.
    void ReportCubeOnce(const std::string& path, const std::string& row);

    std::map<std::string, std::shared_ptr<GpuShaderResourceView>> textureCache_;  // by the file found
    std::map<std::string, GpuShaderResourceView*> textureNames_;                  // every name that found one
    std::map<std::string, Failure> failedNames_;
    // Cube textures by the file found on disk; an entry goes when its texture has.
    std::map<std::string, std::weak_ptr<GpuShaderResourceView>> cubeTextures_;
    std::set<std::string> reportedCubes_;    // cube paths that failed this scene
    std::map<u32, SolidColor> solidColors_;  // by RGBA8 bytes (r in the high byte)
    unsigned long long solidRequests_ = 0;
    bool reportedSolidFull_ = false;
    FilePath TextureFolder() const;
    FilePath ParticleFolder() const;

    bool ownFolders_ = false;
    FilePath textureFolder_;
    FilePath particleFolder_;
};
