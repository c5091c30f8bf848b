// One effect variable: a value (scalar, vector, matrix) or a texture binding,
// kept by the effect and handed to every pass that reads it when that pass is
// applied. Setting a variable that the effect lacks (IsValid false) does
// nothing. Matrices are D3DX matrices (row vectors: shaders compute v * M).
// Owned by its GpuEffect. Main thread only.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "port/gpu/GpuEffectDesc.h"

class GpuBuffer;
class GpuShaderResourceView;

class GpuEffectVariable {
public:
    GpuEffectVariable() = default;  // the invalid variable
    GpuEffectVariable(const GpuEffectVariableDesc& desc, unsigned textureUnit);

    // The shared variable returned for names an effect lacks.
    static GpuEffectVariable* Invalid();

    bool IsValid() const { return valid_; }
    const std::string& Name() const { return name_; }
    GpuEffectVarType Type() const { return type_; }
    bool IsTexture() const;

    void SetFloat(float value);
    void SetInt(int value);
    void SetBool(bool value);
    // As many floats as the variable has components (3 for float3, 16 for a matrix).
    void SetFloatVector(const float* values);
    void SetMatrix(const float* m16);
    void SetRawValue(const void* data, std::uint32_t offset, std::uint32_t bytes);
    // Keeps a reference to the view while bound (null unbinds).
    void SetResource(GpuShaderResourceView* view);
    // A constant buffer's values come from `buffer` (laid out as the block's
    // std140 rules say); keeps a reference while bound (null unbinds).
    void SetConstantBuffer(GpuBuffer* buffer);

    GpuShaderResourceView* GetResource() const { return resource_.get(); }
    GpuBuffer* GetConstantBuffer() const { return buffer_.get(); }
    void GetRawValue(void* out, std::uint32_t offset, std::uint32_t bytes) const;
    float GetFloat() const;
    int GetInt() const;

    // For the passes: changes count up so unchanged values are not re-sent.
    std::uint32_t Version() const { return version_; }
    const void* Data() const { return data_; }
    // A texture's unit, or a constant buffer's binding slot.
    unsigned TextureUnit() const { return unit_; }
    const GpuSamplerDesc& Sampler() const { return sampler_; }

private:
    bool IsIntegral() const;
    std::uint32_t Size() const;

    bool valid_ = false;
    std::string name_;
    GpuEffectVarType type_ = GpuEffectVarType::Float;
    unsigned unit_ = 0;
    GpuSamplerDesc sampler_;
    alignas(16) std::uint8_t data_[64] = {};
    std::uint32_t version_ = 1;
    std::shared_ptr<GpuShaderResourceView> resource_;
    std::shared_ptr<GpuBuffer> buffer_;
};
