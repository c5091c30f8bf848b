#include "render/mesh/ModelFileWriter.h"

#include <cstring>

#include "port/os/WholeFileWriter.h"

namespace {

void PutU32(std::vector<u8>& out, u32 v) {
    u8 b[4];
    std::memcpy(b, &v, 4);
    out.insert(out.end(), b, b + 4);
}

void PutBytes(std::vector<u8>& out, const void* data, size_t n) {
    const u8* p = static_cast<const u8*>(data);
    out.insert(out.end(), p, p + n);
}

}  // namespace

ModelFileWriter::ModelFileWriter(u32 rootTag) : rootTag_(rootTag) {}

void ModelFileWriter::AddChunk(u32 tag, const std::vector<u8>& payload) {
    PutU32(chunks_, tag);
    PutU32(chunks_, static_cast<u32>(payload.size()));
    PutBytes(chunks_, payload.data(), payload.size());
}

bool ModelFileWriter::AddMesh(const ModelCpuMesh& mesh, const D3DXVECTOR3& center, const D3DXVECTOR3& extent,
                              u32 vertexType) {
    if (!ModelFile::IsModelVertexType(vertexType)) return false;
    const u32 stride = ModelFile::VertexStride(vertexType);
    std::vector<u8> payload;
    payload.reserve(ModelFile::kMeshHeadSize + 8 + mesh.indices.size() * 4 + mesh.vertices.size() * stride);
    PutBytes(payload, &center, 12);
    PutBytes(payload, &extent, 12);
    PutU32(payload, ModelFile::kIndexSize);
    PutU32(payload, mesh.IndexCount());
    PutBytes(payload, mesh.indices.data(), mesh.indices.size() * 4);
    PutU32(payload, vertexType);
    PutU32(payload, mesh.VertexCount());
    for (const ModelVertex& v : mesh.vertices) {
        PutBytes(payload, &v, sizeof v);
        payload.insert(payload.end(), stride - sizeof v, 0);
    }
    AddChunk(ModelFile::kMeshTag, payload);
    return true;
}

std::vector<u8> ModelFileWriter::Bytes() const {
    std::vector<u8> out;
    out.reserve(ModelFile::kHeaderSize + chunks_.size());
    PutU32(out, rootTag_);
    PutU32(out, static_cast<u32>(chunks_.size()));
    PutBytes(out, chunks_.data(), chunks_.size());
    return out;
}

bool ModelFileWriter::Save(const std::string& path, std::string& error) const {
    const std::vector<u8> bytes = Bytes();
    return WriteWholeFile(path, bytes.data(), bytes.size(), &error);
}
