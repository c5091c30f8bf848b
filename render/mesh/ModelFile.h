// Reader of the binary model file: a little-endian chunk list under a 'tbm2' or
// 'tbm3' root header whose mesh chunks hold bounds, 32-bit indices and vertices
// of one vertex-format row. It trusts nothing in the file: every count and size
// is checked against the chunk and the file before anything is read or sized
// from it. A ModelFile is a short-lived value owned by its caller; main thread.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "core/Types.h"
#include "render/mesh/ModelCpuMesh.h"

class ModelFile {
public:
    static constexpr u32 kRootTag2 = 0x74626D32;  // 'tbm2', file bytes "2mbt"
    static constexpr u32 kRootTag3 = 0x74626D33;  // 'tbm3'
    static constexpr u32 kMeshTag = 0x6D657368;   // 'mesh'
    static constexpr u32 kIndexSize = 4;
    static constexpr u32 kHeaderSize = 8;     // tag and size of every chunk
    static constexpr u32 kMeshHeadSize = 32;  // centre, extent, index size, index count
    static constexpr std::size_t kMaxFileSize = std::size_t(256) << 20;

    enum class Result { Ok, CannotOpen, Malformed };

    // Stride in bytes of vertex type `type` (its row in the vertex-format
    // table), 0 for a type outside the table.
    static u32 VertexStride(u32 type);
    // True for the vertex types that begin with POSITION f3, NORMAL f3 and
    // TEXCOORD0 f2, the only ones a model file may hold.
    static bool IsModelVertexType(u32 type);

    // Reads and parses the file at `path`. CannotOpen: no such file or no
    // read access; Malformed: see Parse, or a file that is larger than
    // kMaxFileSize or no regular file (Error() names it).
    Result Load(const std::string& path);
    // Parses `size` bytes. False, with Error() set and no mesh kept, when the
    // bytes are not a sound model file. A sound file without a mesh chunk
    // parses with HasMesh() false; with several, the last one is kept.
    bool Parse(const u8* data, size_t size);

    bool HasMesh() const { return hasMesh_; }
    const D3DXVECTOR3& Center() const { return center_; }
    const D3DXVECTOR3& Extent() const { return extent_; }
    // Vertices reduced to the 32-byte layout whatever the file's vertex type.
    const ModelCpuMesh& Mesh() const { return mesh_; }
    ModelCpuMesh TakeMesh() { return std::move(mesh_); }
    // Vertex type of the kept mesh as stored in the file.
    u32 SourceVertexType() const { return sourceVertexType_; }
    const std::string& Error() const { return error_; }

private:
    bool ReadMeshChunk(const u8* payload, u64 size, u64 fileOffset);
    bool Fail(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void Reset();

    bool hasMesh_ = false;
    D3DXVECTOR3 center_;
    D3DXVECTOR3 extent_;
    ModelCpuMesh mesh_;
    u32 sourceVertexType_ = 0;
    std::string error_;
};
