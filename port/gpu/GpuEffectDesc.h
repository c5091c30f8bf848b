// The description of an effect as read from an effect file: its variables
// (the values shared by all its techniques), its techniques and their passes
// with GLSL stage sources and render states. Filled by the effect file reader,
// compiled by GpuDevice::CreateEffect. Plain values.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "port/gpu/GpuTypes.h"

enum class GpuEffectVarType {
    Float,
    Float2,
    Float3,
    Float4,
    Float4x4,
    Int,
    UInt,
    Bool,
    Texture1D,
    Texture2D,
    Texture2DArray,
    TextureCube,
    ConstantBuffer,  // a block of values read from a GPU buffer bound to it
};

struct GpuEffectVariableDesc {
    std::string name;
    GpuEffectVarType type = GpuEffectVarType::Float;
    std::vector<float> initialValue;  // components, as many as given (may be empty)
    GpuSamplerDesc sampler;           // textures only
    std::string members = {};         // constant buffers only: the block's GLSL member declarations
};

struct GpuEffectPassDesc {
    std::string vertexShader;    // GLSL bodies, without #version and without the
    std::string geometryShader;  // variable declarations (both are added)
    std::string pixelShader;
    // Geometry (or vertex) shader outputs captured by stream-out, in buffer order.
    std::vector<std::string> streamOut;
    // A state left out keeps whatever the device has bound (as effect passes do).
    std::optional<GpuDepthStencilDesc> depthStencil;
    unsigned stencilRef = 0;
    std::optional<GpuBlendDesc> blend;
    std::optional<GpuRasterizerDesc> rasterizer;
};

struct GpuEffectTechniqueDesc {
    std::string name;
    std::vector<GpuEffectPassDesc> passes;
};

struct GpuEffectDesc {
    std::string name;    // for error texts
    std::string header;  // GLSL shared by every stage (functions, constants)
    std::vector<GpuEffectVariableDesc> variables;
    std::vector<GpuEffectTechniqueDesc> techniques;
};
