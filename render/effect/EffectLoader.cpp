#include "render/effect/EffectLoader.h"

#include "port/gpu/GpuDevice.h"
#include "render/effect/EffectFileReader.h"
#include "scene/DevozizuDave.h"

EffectLoader::EffectLoader() : EffectLoader(DevozizuDave::Instance() ? DevozizuDave::Instance()->shader : FilePath()) {}

EffectLoader::EffectLoader(const FilePath& shaderFolder) : shaderFolder_(shaderFolder) {
    compileFlags_ |= kCompileFlags;
}

EffectLoader::~EffectLoader() = default;

std::unique_ptr<GpuEffect> EffectLoader::Load(const std::string& name, std::string& errors) {
    const std::string path = shaderFolder_.GetFullPath(name);
    GpuEffectDesc desc;
    std::string text;
    if (!EffectFileReader::Read(path, name, &desc, &text)) {
        errors = text;
        return nullptr;
    }
    if (!device_) {
        errors = path + ": no render device";
        return nullptr;
    }
    std::unique_ptr<GpuEffect> effect = device_->CreateEffect(desc, &text);
    if (!effect) {
        errors = path + ":\n" + text;
        return nullptr;
    }
    errors.clear();
    return effect;
}
