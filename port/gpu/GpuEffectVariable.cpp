#include "port/gpu/GpuEffectVariable.h"

#include <cstring>

#include "port/gpu/GpuBuffer.h"
#include "port/gpu/GpuShaderResourceView.h"

GpuEffectVariable::GpuEffectVariable(const GpuEffectVariableDesc& desc, unsigned textureUnit)
    : valid_(true), name_(desc.name), type_(desc.type), unit_(textureUnit), sampler_(desc.sampler) {
    const std::uint32_t count = Size() / 4;
    for (std::uint32_t i = 0; i < count && i < desc.initialValue.size(); ++i) {
        if (IsIntegral()) {
            std::int32_t v = static_cast<std::int32_t>(desc.initialValue[i]);
            std::memcpy(data_ + 4 * i, &v, 4);
        } else {
            std::memcpy(data_ + 4 * i, &desc.initialValue[i], 4);
        }
    }
}

GpuEffectVariable* GpuEffectVariable::Invalid() {
    static GpuEffectVariable invalid;
    return &invalid;
}

bool GpuEffectVariable::IsTexture() const {
    return type_ == GpuEffectVarType::Texture1D || type_ == GpuEffectVarType::Texture2D ||
           type_ == GpuEffectVarType::Texture2DArray || type_ == GpuEffectVarType::TextureCube;
}

bool GpuEffectVariable::IsIntegral() const {
    return type_ == GpuEffectVarType::Int || type_ == GpuEffectVarType::UInt || type_ == GpuEffectVarType::Bool;
}

std::uint32_t GpuEffectVariable::Size() const {
    switch (type_) {
        case GpuEffectVarType::Float:
        case GpuEffectVarType::Int:
        case GpuEffectVarType::UInt:
        case GpuEffectVarType::Bool:
            return 4;
        case GpuEffectVarType::Float2:
            return 8;
        case GpuEffectVarType::Float3:
            return 12;
        case GpuEffectVarType::Float4:
            return 16;
        case GpuEffectVarType::Float4x4:
            return 64;
        default:
            return 0;
    }
}

void GpuEffectVariable::SetFloat(float value) {
    if (!valid_ || Size() == 0) return;
    if (IsIntegral()) {
        SetInt(type_ == GpuEffectVarType::Bool ? (value != 0.0f) : static_cast<int>(value));
        return;
    }
    std::memcpy(data_, &value, 4);
    ++version_;
}

void GpuEffectVariable::SetInt(int value) {
    if (!valid_ || Size() == 0) return;
    if (!IsIntegral()) {
        SetFloat(static_cast<float>(value));
        return;
    }
    std::int32_t v = type_ == GpuEffectVarType::Bool ? (value != 0) : value;
    std::memcpy(data_, &v, 4);
    ++version_;
}

void GpuEffectVariable::SetBool(bool value) {
    SetInt(value ? 1 : 0);
}

void GpuEffectVariable::SetFloatVector(const float* values) {
    if (!valid_ || !values || Size() == 0) return;
    if (IsIntegral()) {
        SetFloat(values[0]);
        return;
    }
    std::memcpy(data_, values, Size());
    ++version_;
}

void GpuEffectVariable::SetMatrix(const float* m16) {
    if (type_ != GpuEffectVarType::Float4x4) return;
    SetFloatVector(m16);
}

void GpuEffectVariable::SetRawValue(const void* data, std::uint32_t offset, std::uint32_t bytes) {
    const std::uint32_t size = Size();
    if (!valid_ || !data || offset > size || bytes > size - offset) return;
    std::memcpy(data_ + offset, data, bytes);
    ++version_;
}

void GpuEffectVariable::SetResource(GpuShaderResourceView* view) {
    if (!valid_ || !IsTexture()) return;
    resource_ = view ? view->shared_from_this() : nullptr;
    ++version_;
}

void GpuEffectVariable::SetConstantBuffer(GpuBuffer* buffer) {
    if (!valid_ || type_ != GpuEffectVarType::ConstantBuffer) return;
    buffer_ = buffer ? buffer->shared_from_this() : nullptr;
    ++version_;
}

void GpuEffectVariable::GetRawValue(void* out, std::uint32_t offset, std::uint32_t bytes) const {
    const std::uint32_t size = Size();
    if (!out || offset > size || bytes > size - offset) return;
    std::memcpy(out, data_ + offset, bytes);
}

float GpuEffectVariable::GetFloat() const {
    if (IsIntegral()) return static_cast<float>(GetInt());
    float v;
    std::memcpy(&v, data_, 4);
    return v;
}

int GpuEffectVariable::GetInt() const {
    if (!IsIntegral()) return static_cast<int>(GetFloat());
    std::int32_t v;
    std::memcpy(&v, data_, 4);
    return v;
}
