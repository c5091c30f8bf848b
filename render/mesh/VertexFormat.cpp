#include "render/mesh/VertexFormat.h"

namespace {

constexpr GpuFormat F2 = GpuFormat::R32G32_FLOAT;
constexpr GpuFormat F3 = GpuFormat::R32G32B32_FLOAT;
constexpr GpuFormat F4 = GpuFormat::R32G32B32A32_FLOAT;
constexpr u32 Append = GpuAppendAlignedElement;

const GpuInputElement kGeometry[] = {
    {"POSITION", F3},
    {"NORMAL", F3},
    {"TEXCOORD0", F2},
};
const GpuInputElement kTangent[] = {
    {"POSITION", F3}, {"NORMAL", F3}, {"TEXCOORD0", F2}, {"BINORMAL", F3}, {"TANGENT", F3},
};
const GpuInputElement kColour[] = {
    {"POSITION", F3},
    {"COLOR", F4},
};
const GpuInputElement kInstancedLight[] = {
    {"POSITION", F3, 0},
    {"NORMAL", F3, 0},
    {"TEXCOORD0", F2, 0},
    {"TEXCOORD1", F3, 1, Append, GpuInputClass::PerInstance, 1},
    {"TEXCOORD2", F4, 1, Append, GpuInputClass::PerInstance, 1},
};
const GpuInputElement kParticle[] = {
    {"POSITION_SIZESCALE", F4, 0, 0},
    {"VELOCITY_VALUE", F4, 0, 16},
    {"ACCELERATION_VALUE", F4, 0, 32},
    {"ATTRACTOR_STRENGTH", F4, 0, 48},
    {"GRADSTART", F4, 0, 64},
    {"GRADEND", F4, 0, 80},
    {"FADEOPACITY_FREE", F4, 0, 96},
    {"AGE_MAXAGE_COUNT_FREQ", F4, 0, 112},
    {"ALPHATEX", GpuFormat::R32_UINT, 0, 128},
    {"TYPE", GpuFormat::R32_UINT, 0, 132},
};

template <size_t N>
constexpr VertexFormat Row(u32 id, u32 stride, const GpuInputElement (&elements)[N]) {
    return {id, stride, elements, static_cast<u32>(N)};
}

const VertexFormat kRows[kVertexFormatRows] = {
    Row(0, 32, kGeometry), Row(0, 32, kGeometry),       Row(2, 56, kTangent),   Row(2, 56, kTangent),
    Row(4, 28, kColour),   Row(5, 60, kInstancedLight), Row(6, 136, kParticle),
};

}  // namespace

const VertexFormat& GetVertexFormat(u32 row) {
    return kRows[row < kVertexFormatRows ? row : 0];
}

const VertexFormat* FindVertexFormat(u32 vertexTypeId) {
    for (const VertexFormat& row : kRows)
        if (row.id == vertexTypeId) return &row;
    return nullptr;
}
