// The 32-byte vertex of every file model and procedural mesh: position, normal,
// texture coordinate (vertex-format row 0). Plain data, copied byte for byte
// into vertex buffers and model files (little-endian hosts only).
#pragma once
#include <type_traits>

#include "port/math/D3DX.h"

struct ModelVertex {
    D3DXVECTOR3 position;
    D3DXVECTOR3 normal;
    D3DXVECTOR2 texCoord;
};

static_assert(sizeof(ModelVertex) == 32, "model vertices are 32 bytes");
static_assert(std::is_trivially_copyable_v<ModelVertex>);
