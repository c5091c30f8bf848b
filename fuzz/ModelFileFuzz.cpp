// libFuzzer target: the model file reader on arbitrary bytes. It must return
// without reading outside the buffer, and a parse that succeeds must hand back
// a mesh whose every index is below its vertex count.
#include <cstdlib>

#include "render/mesh/ModelFile.h"

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
    ModelFile file;
    if (file.Parse(data, size) && file.HasMesh()) {
        const ModelCpuMesh& mesh = file.Mesh();
        for (u32 index : mesh.indices) {
            if (index >= mesh.VertexCount()) std::abort();
        }
    }
    return 0;
}
