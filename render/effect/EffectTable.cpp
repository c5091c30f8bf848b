#include "render/effect/EffectTable.h"

#include "port/gpu/GpuEffect.h"
#include "render/effect/EffectLoader.h"

namespace {

const char* const kEffectNames[] = {"UIShader", "DeferredShader", "ParticleIntegration"};

struct Named {
    const char* name;
    EffectId effect;
};

constexpr EffectId UI = EffectId::UIShader;
constexpr EffectId DS = EffectId::DeferredShader;
constexpr EffectId PI = EffectId::ParticleIntegration;

const Named kTechniqueTable[] = {
    {"SkyboxTech", UI},
    {"UiTech", UI},
    {"UiTechNoBlend", UI},
    {"UiTechNoBlendDepthLessEqual", UI},
    {"UiTechPlain", UI},
    {"DebugElemTech", UI},
    {"TextTech", UI},
    {"DeferredGeometryBuffer", DS},
    {"DeferredLightingBuffer", DS},
    {"CombineDeferred", DS},
    {"DoSSAO", DS},
    {"Blur_H", DS},
    {"Blur_V", DS},
    {"BlurGlow_H", DS},
    {"BlurGlow_V", DS},
    {"StreamOutTech", PI},
    {"ParticleDrawTech", PI},
    {"LightInputs", DS},
};
static_assert(sizeof kTechniqueTable / sizeof kTechniqueTable[0] == EffectTable::kTechniques);

const Named kVariableTable[] = {
    {"gWorldViewProj", DS},
    {"gWorld", DS},
    {"gView", DS},
    {"gViewProjection", DS},
    {"gInverseProjection", DS},
    {"gTextureTileFactor", DS},
    {"DiffuseMap", DS},
    {"NormalMap", DS},
    {"GlowMap", DS},
    {"SpecularMap", DS},
    {"DiffuseSpecIn", DS},
    {"NormalsIn", DS},
    {"GlowIn", DS},
    {"DepthIn", DS},
    {"LightIn", DS},
    {"EdgeIn", DS},
    {"SSAOIn", DS},
    {"StagedBlur", DS},
    {"RandomNormals", DS},
    {"GlobalDirection", DS},
    {"GlobalColor", DS},
    {"GlobalIntensity", DS},
    {"ambient", DS},
    {"WorldTrans", UI},
    {"ViewProjTrans", UI},
    {"skyBox", UI},
    {"guiWorldViewProj", UI},
    {"guiDiffuseMap", UI},
    {"alphaVal", UI},
    {"scrWidth", DS},
    {"scrHeight", DS},
    {"pixelWidth", DS},
    {"pixelHeight", DS},
    {"SsaoSampleRad", DS},
    {"SsaoIntensity", DS},
    {"SsaoScale", DS},
    {"SsaoBias", DS},
    {"emitterPosition", PI},
    {"emitCount", PI},
    {"emitFrequency", PI},
    {"CamPosition", PI},
    {"viewMatrix", PI},
    {"gameTime", PI},
    {"timeStep", PI},
    {"emitterAlive", PI},
    {"randomTexture", PI},
    {"particleAlphaTexture", PI},
    {"worldTransform", PI},
    {"LightPositionIn", DS},
    {"LightNormalIn", DS},
    {"PointLights", DS},
};
static_assert(sizeof kVariableTable / sizeof kVariableTable[0] == EffectTable::kVariables);

}  // namespace

const char* EffectTable::EffectName(EffectId id) {
    return kEffectNames[static_cast<u32>(id)];
}
const char* EffectTable::TechniqueName(TechniqueId id) {
    return kTechniqueTable[static_cast<u32>(id)].name;
}
const char* EffectTable::VariableName(EffectVarId id) {
    return kVariableTable[static_cast<u32>(id)].name;
}
EffectId EffectTable::EffectOf(TechniqueId id) {
    return kTechniqueTable[static_cast<u32>(id)].effect;
}
EffectId EffectTable::EffectOf(EffectVarId id) {
    return kVariableTable[static_cast<u32>(id)].effect;
}

EffectTable::EffectTable() {
    Release();
}

EffectTable::~EffectTable() = default;

void EffectTable::Release() {
    techniques_.fill(GpuEffectTechnique::Invalid());
    variables_.fill(GpuEffectVariable::Invalid());
    for (auto& effect : effects_) effect.reset();
}

void EffectTable::Load(EffectLoader& loader, const std::function<void(const std::string&)>& report) {
    Release();
    for (u32 e = 0; e < kEffects; ++e) LoadOne(static_cast<EffectId>(e), loader, report);
}

void EffectTable::LoadOne(EffectId id, EffectLoader& loader, const std::function<void(const std::string&)>& report) {
    const u32 e = static_cast<u32>(id);
    std::string errors;
    effects_[e] = loader.Load(kEffectNames[e], errors);
    if (!effects_[e] && report) report(errors);
    GpuEffect* effect = effects_[e].get();
    for (u32 t = 0; t < kTechniques; ++t)
        if (kTechniqueTable[t].effect == id)
            techniques_[t] =
                effect ? effect->GetTechniqueByName(kTechniqueTable[t].name) : GpuEffectTechnique::Invalid();
    for (u32 v = 0; v < kVariables; ++v)
        if (kVariableTable[v].effect == id)
            variables_[v] = effect ? effect->GetVariableByName(kVariableTable[v].name) : GpuEffectVariable::Invalid();
}

void EffectTable::Apply(TechniqueId id) const {
    Technique(id)->GetPassByIndex(0)->Apply(0);
}
