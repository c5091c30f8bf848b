// The 32-byte vertex of every file model and procedural mesh: position, normal,
// texture coordinate (vertex-format row 0). Plain data, copied byte for byte
// into vertex buffers and model files (little-endian hosts only).
#pragma once
#include <type_traits>

struct ModelVertex {
    float position[3];
    float normal[3];
    float texCoord[2];
};

static_assert(sizeof(ModelVertex) == 32, "model vertices are 32 bytes");
static_assert(std::is_trivially_copyable_v<ModelVertex>);
