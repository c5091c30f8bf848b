// The vertex-format table: for each row, the vertex type id used by model
// files and procedural meshes, the stride in bytes and the input elements
// that input layouts are made from. Constant data; any thread.
#pragma once
#include "core/Types.h"
#include "port/gpu/GpuTypes.h"

struct VertexFormat {
    u32 id;
    u32 stride;
    const GpuInputElement* elements;
    u32 elementCount;
};

constexpr u32 kVertexFormatRows = 7;
// Rows of the table by name.
constexpr u32 kGeometryFormatRow = 0;        // POSITION, NORMAL, TEXCOORD0: 32 bytes
constexpr u32 kTangentFormatRow = 2;         // + BINORMAL, TANGENT: 56 bytes
constexpr u32 kColourFormatRow = 4;          // POSITION, COLOR: 28 bytes
constexpr u32 kInstancedLightFormatRow = 5;  // row 0 + light instance in slot 1
constexpr u32 kParticleFormatRow = 6;        // 136-byte particle record

const VertexFormat& GetVertexFormat(u32 row);
// The first row whose id is `vertexTypeId`, or null.
const VertexFormat* FindVertexFormat(u32 vertexTypeId);

// One light instance of the instanced lighting pass (slot 1 of row 5).
struct LightInstance {
    float position[3];  // TEXCOORD1
    float colour[3];    // TEXCOORD2 .xyz
    float radius;       // TEXCOORD2 .w
};
static_assert(sizeof(LightInstance) == 28, "light instances are 28 bytes");
