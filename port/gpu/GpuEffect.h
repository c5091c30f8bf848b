// A compiled effect: techniques of GLSL programs sharing one set of variables,
// made from a GpuEffectDesc by GpuDevice::CreateEffect. Lookups never return
// null: a name the effect lacks gives the invalid technique or variable, whose
// use does nothing. Owned by whoever loaded it (the GraphicsSystem); keeps its
// device alive. Main thread only.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "port/gpu/GpuEffectDesc.h"
#include "port/gpu/GpuEffectTechnique.h"
#include "port/gpu/GpuEffectVariable.h"

class GpuDevice;

class GpuEffect {
public:
    ~GpuEffect();
    GpuEffect(const GpuEffect&) = delete;
    GpuEffect& operator=(const GpuEffect&) = delete;

    // Compiles and links every pass; null with the compiler's text in `errors`
    // when any stage fails.
    static std::unique_ptr<GpuEffect> Create(const std::shared_ptr<GpuDevice>& device, const GpuEffectDesc& desc,
                                             std::string* errors);

    const std::string& Name() const { return name_; }
    GpuEffectTechnique* GetTechniqueByName(const std::string& name) const;
    GpuEffectVariable* GetVariableByName(const std::string& name) const;
    unsigned TechniqueCount() const { return static_cast<unsigned>(techniques_.size()); }
    unsigned VariableCount() const { return static_cast<unsigned>(variables_.size()); }
    GpuEffectTechnique* GetTechniqueByIndex(unsigned i) const;
    GpuEffectVariable* GetVariableByIndex(unsigned i) const;

private:
    GpuEffect() = default;
    // The compiled-stage cache and the error text of one Build.
    struct BuildState;
    bool Build(const GpuEffectDesc& desc, std::string* errors);
    void DeclareVariables(BuildState& state);
    std::unique_ptr<GpuEffectPass> BuildPass(const GpuEffectPassDesc& desc, const std::string& where,
                                             BuildState& state);
    static void ReadInputSignature(GpuEffectPass& pass, const std::string& where, BuildState& state);
    static void SetStreamOut(GpuEffectPass& pass, unsigned geometryShader, unsigned pixelShader);
    void BindVariables(GpuEffectPass& pass) const;

    std::shared_ptr<GpuDevice> device_;
    std::string name_;
    std::vector<std::unique_ptr<GpuEffectVariable>> variables_;
    std::vector<std::unique_ptr<GpuEffectTechnique>> techniques_;
    std::vector<unsigned> samplerObjects_;
};
