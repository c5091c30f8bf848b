// One loaded model file in the ModelCache: the mesh fields every Model of
// that file name copies, the GPU buffers this entry's own load made, and the
// CPU copy of the mesh for the editor's picking and snapping (null when the
// file had no mesh chunk). Owned by the ModelCache until it is cleared at
// shutdown; Models and the editor hold borrowed pointers. Main thread only.
#pragma once
#include <memory>
#include <string>

#include "core/Types.h"
#include "port/math/D3DX.h"
#include "render/mesh/ModelCpuMesh.h"

class GpuBuffer;

struct ModelCacheEntry {
    std::string name;  // the file name as the Model gave it
    u32 vertexCount = 0;
    u32 triangleCount = 0;
    u32 stride = 0;  // bytes per vertex: 32 once loaded
    u32 offset = 0;  // of the first vertex in the vertex buffer
    std::shared_ptr<GpuBuffer> vertexBuffer;
    std::shared_ptr<GpuBuffer> indexBuffer;
    u32 topology = 4;  // triangle list
    D3DXVECTOR3 center;
    D3DXVECTOR3 extent;
    std::unique_ptr<ModelCpuMesh> cpuMesh;
};
