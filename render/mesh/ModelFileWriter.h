// Writer of the binary model file, the counterpart of ModelFile: used by the
// model tool that makes the game's model files and by tests. Builds the file in
// memory chunk by chunk; Save writes it through WriteWholeFile (a temporary
// file renamed over the target only when complete). Owned by its caller; main
// thread.
#pragma once
#include <string>
#include <vector>

#include "core/Types.h"
#include "render/mesh/ModelCpuMesh.h"
#include "render/mesh/ModelFile.h"

class ModelFileWriter {
public:
    explicit ModelFileWriter(u32 rootTag = ModelFile::kRootTag3);

    // Appends a chunk with any tag and payload (readers skip unknown tags).
    void AddChunk(u32 tag, const std::vector<u8>& payload);
    // Appends a mesh chunk. Vertices are written in the layout of
    // `vertexType` (a type ModelFile::IsModelVertexType accepts); the bytes
    // past the first 32 of each vertex are zero. False for other types.
    bool AddMesh(const ModelCpuMesh& mesh, const D3DXVECTOR3& center, const D3DXVECTOR3& extent, u32 vertexType = 0);

    // The whole file; the root header's size counts the bytes after it.
    std::vector<u8> Bytes() const;
    // Writes Bytes() to `path`; on failure `error` says why and any file
    // already at `path` is left as it was.
    bool Save(const std::string& path, std::string& error) const;

private:
    u32 rootTag_;
    std::vector<u8> chunks_;
};
