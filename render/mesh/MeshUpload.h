// Makes the immutable vertex and index buffers of a CPU mesh on a device: the
// one place where file models and procedural meshes become GPU buffers.
// Stateless; main thread only (the device is).
#pragma once
#include <memory>

#include "render/mesh/ModelCpuMesh.h"

class GpuBuffer;
class GpuDevice;

class MeshUpload {
public:
    // An immutable buffer with the bind flags and initial data; null without
    // a device, for zero bytes, or when the device refuses it.
    static std::shared_ptr<GpuBuffer> Immutable(GpuDevice* device, u32 bindFlags, const void* data, u64 bytes);
    // The vertex buffer (32 bytes a vertex) and, when `indexed`, the index
    // buffer (4 bytes an index) of the mesh.
    static void Buffers(GpuDevice* device, const ModelCpuMesh& mesh, bool indexed,
                        std::shared_ptr<GpuBuffer>& vertexBuffer, std::shared_ptr<GpuBuffer>& indexBuffer);
};
