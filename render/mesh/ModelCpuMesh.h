// CPU copy of a mesh: 32-byte vertices and 32-bit indices. The model cache
// keeps one per loaded file for the editor's picking and snapping; the mesh
// builders and the model tool fill one before upload or writing.
#pragma once
#include <vector>

#include "core/Types.h"
#include "render/mesh/ModelVertex.h"

struct ModelCpuMesh {
    std::vector<ModelVertex> vertices;
    std::vector<u32> indices;

    u32 VertexCount() const { return static_cast<u32>(vertices.size()); }
    u32 IndexCount() const { return static_cast<u32>(indices.size()); }

    // Axis-aligned bounds of the positions: centre = (min + max) / 2 and
    // extent = (max - min) / 2; both zero for an empty mesh.
    void ComputeBounds(D3DXVECTOR3& center, D3DXVECTOR3& extent) const {
        center = extent = D3DXVECTOR3();
        if (vertices.empty()) return;
        D3DXVECTOR3 lo = vertices[0].position, hi = lo;
        for (const ModelVertex& v : vertices) {
            D3DXVec3Minimize(&lo, &lo, &v.position);
            D3DXVec3Maximize(&hi, &hi, &v.position);
        }
        center = (lo + hi) * 0.5f;
        extent = (hi - lo) * 0.5f;
    }
};
