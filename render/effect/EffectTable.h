// The renderer's three effects and the 18 techniques and 51 variables it
// looks up in them by name, kept by index (TechniqueId, EffectVarId). An
// effect that did not compile leaves its techniques and variables invalid:
// using them does nothing, and nothing is looked up in the missing effect.
// Owned by the GraphicsSystem. Main thread only.
#pragma once
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "core/Types.h"

class EffectLoader;
class GpuEffect;
class GpuEffectTechnique;
class GpuEffectVariable;

enum class EffectId : u32 { UIShader, DeferredShader, ParticleIntegration, Count };

// Technique names as in the effect files; the value is the technique's index.
enum class TechniqueId : u32 {
    SkyboxTech,
    UiTech,
    UiTechNoBlend,
    UiTechNoBlendDepthLessEqual,
    UiTechPlain,
    DebugElemTech,
    TextTech,
    DeferredGeometryBuffer,
    DeferredLightingBuffer,
    CombineDeferred,
    DoSSAO,
    Blur_H,
    Blur_V,
    BlurGlow_H,
    BlurGlow_V,
    StreamOutTech,
    ParticleDrawTech,
    LightInputs,
    Count
};

// Variable names as in the effect files; the value is the variable's index.
enum class EffectVarId : u32 {
    gWorldViewProj,
    gWorld,
    gView,
    gViewProjection,
    gInverseProjection,
    gTextureTileFactor,
    DiffuseMap,
    NormalMap,
    GlowMap,
    SpecularMap,
    DiffuseSpecIn,
    NormalsIn,
    GlowIn,
    DepthIn,
    LightIn,
    EdgeIn,
    SSAOIn,
    StagedBlur,
    RandomNormals,
    GlobalDirection,
    GlobalColor,
    GlobalIntensity,
    ambient,
    WorldTrans,
    ViewProjTrans,
    skyBox,
    guiWorldViewProj,
    guiDiffuseMap,
    alphaVal,
    scrWidth,
    scrHeight,
    pixelWidth,
    pixelHeight,
    SsaoSampleRad,
    SsaoIntensity,
    SsaoScale,
    SsaoBias,
    emitterPosition,
    emitCount,
    emitFrequency,
    CamPosition,
    viewMatrix,
    gameTime,
    timeStep,
    emitterAlive,
    randomTexture,
    particleAlphaTexture,
    worldTransform,
    LightPositionIn,
    LightNormalIn,
    PointLights,
    Count
};

class EffectTable {
public:
    static constexpr u32 kEffects = static_cast<u32>(EffectId::Count);
    static constexpr u32 kTechniques = static_cast<u32>(TechniqueId::Count);
    static constexpr u32 kVariables = static_cast<u32>(EffectVarId::Count);

    static const char* EffectName(EffectId id);
    static const char* TechniqueName(TechniqueId id);
    static const char* VariableName(EffectVarId id);
    static EffectId EffectOf(TechniqueId id);
    static EffectId EffectOf(EffectVarId id);

    EffectTable();
    ~EffectTable();

    // Loads the three effects in table order; each failure is handed to
    // `report` with the loader's text and loading goes on. Then looks up every
    // technique and variable of the effects that loaded.
    void Load(EffectLoader& loader, const std::function<void(const std::string&)>& report);
    // Loads one effect in place of the one held (a failure leaves it missing
    // and is handed to `report`) and looks up its techniques and variables.
    void LoadOne(EffectId id, EffectLoader& loader, const std::function<void(const std::string&)>& report);
    void Release();

    GpuEffect* Effect(EffectId id) const { return effects_[static_cast<u32>(id)].get(); }
    // Never null; invalid when its effect is missing or lacks it.
    GpuEffectTechnique* Technique(TechniqueId id) const { return techniques_[static_cast<u32>(id)]; }
    GpuEffectVariable* Variable(EffectVarId id) const { return variables_[static_cast<u32>(id)]; }
    // Applies pass 0 of a technique.
    void Apply(TechniqueId id) const;

private:
    std::array<std::unique_ptr<GpuEffect>, kEffects> effects_;
    std::array<GpuEffectTechnique*, kTechniques> techniques_;
    std::array<GpuEffectVariable*, kVariables> variables_;
};
