// CPU copy of a mesh: 32-byte vertices and 32-bit triangle-list indices. The
// model cache keeps one per loaded file for the editor's picking and snapping;
// the mesh builders and the model tool fill one before upload or writing.
#pragma once
#include <vector>

#include "engine/Types.h"
#include "render/ModelVertex.h"

struct ModelCpuMesh {
    std::vector<ModelVertex> vertices;
    std::vector<u32> indices;

    u32 VertexCount() const { return static_cast<u32>(vertices.size()); }
    u32 IndexCount() const { return static_cast<u32>(indices.size()); }

    // Axis-aligned bounds of the positions: centre = (min + max) / 2 and
    // extent = (max - min) / 2; both zero for an empty mesh.
    void ComputeBounds(float center[3], float extent[3]) const {
        for (int a = 0; a < 3; ++a) center[a] = extent[a] = 0.0f;
        if (vertices.empty()) return;
        float lo[3], hi[3];
        for (int a = 0; a < 3; ++a) lo[a] = hi[a] = vertices[0].position[a];
        for (const ModelVertex& v : vertices) {
            for (int a = 0; a < 3; ++a) {
                if (v.position[a] < lo[a]) lo[a] = v.position[a];
                if (v.position[a] > hi[a]) hi[a] = v.position[a];
            }
        }
        for (int a = 0; a < 3; ++a) {
            center[a] = (lo[a] + hi[a]) * 0.5f;
            extent[a] = (hi[a] - lo[a]) * 0.5f;
        }
    }
};
