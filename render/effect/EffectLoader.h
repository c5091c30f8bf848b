// Compiles the renderer's effect files (Lua data of the "shader" asset folder,
// see EffectFileReader) on the GPU device. One instance for the run, created
// at start-up before the device exists; GraphicsSystem::Init hands it the
// device. Main thread only.
#pragma once
#include <memory>
#include <string>

#include "core/Singleton.h"
#include "core/Types.h"
#include "engine/FilePath.h"

class GpuDevice;
class GpuEffect;

class EffectLoader : public Singleton<EffectLoader> {
public:
    // The compile flags the effects are built with: strictness and no
    // validation (kept for the record; GLSL has no such switches).
    static constexpr u32 kCompileFlags = 0x802;

    // Copies the "shader" asset folder of the DevozizuDave (empty without one).
    EffectLoader();
    explicit EffectLoader(const FilePath& shaderFolder);
    ~EffectLoader();

    void SetDevice(std::shared_ptr<GpuDevice> device) { device_ = std::move(device); }
    GpuDevice* GetDevice() const { return device_.get(); }
    u32 GetCompileFlags() const { return compileFlags_; }
    const FilePath& GetShaderFolder() const { return shaderFolder_; }

    // The compiled effect `name` (no folder, no extension), errors := "";
    // or null with the reader's or the compiler's text in `errors`.
    std::unique_ptr<GpuEffect> Load(const std::string& name, std::string& errors);

private:
    std::shared_ptr<GpuDevice> device_;
    u32 compileFlags_ = 0;
    FilePath shaderFolder_;
};
