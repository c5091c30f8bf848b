#include "render/mesh/MeshUpload.h"

#include <limits>

#include "port/gpu/GpuBuffer.h"
#include "port/gpu/GpuDevice.h"

std::shared_ptr<GpuBuffer> MeshUpload::Immutable(GpuDevice* device, u32 bindFlags, const void* data, u64 bytes) {
    if (!device || bytes == 0 || bytes > std::numeric_limits<u32>::max()) return nullptr;
    GpuBufferDesc desc;
    desc.byteWidth = static_cast<u32>(bytes);
    desc.usage = GpuUsage::Immutable;
    desc.bindFlags = bindFlags;
    std::shared_ptr<GpuBuffer> buffer = device->CreateBuffer(desc, data);
    return (buffer && buffer->Valid()) ? buffer : nullptr;
}

void MeshUpload::Buffers(GpuDevice* device, const ModelCpuMesh& mesh, bool indexed,
                         std::shared_ptr<GpuBuffer>& vertexBuffer, std::shared_ptr<GpuBuffer>& indexBuffer) {
    vertexBuffer = Immutable(device, GpuBindVertexBuffer, mesh.vertices.data(),
                             static_cast<u64>(mesh.vertices.size()) * sizeof(ModelVertex));
    indexBuffer = indexed ? Immutable(device, GpuBindIndexBuffer, mesh.indices.data(),
                                      static_cast<u64>(mesh.indices.size()) * sizeof(u32))
                          : nullptr;
}
