// modeltool: makes a binary model file from a Wavefront OBJ mesh.
//   modeltool [--type N] [--tbm2] [--as-is] [--scale S] input.obj output.bin
// --type: vertex type to store (0, 1, 2, 3 or 5; bytes past the first 32 of a
// vertex are zero); --tbm2: the older root tag; --as-is: take the OBJ's
// coordinates, winding and v direction as they stand; --scale: uniform scale.
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "port/os/WholeFile.h"
#include "render/mesh/ModelFile.h"
#include "render/mesh/ModelFileWriter.h"
#include "tools/modeltool/ObjMeshReader.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: modeltool [--type N] [--tbm2] [--as-is] [--scale S] input.obj output.bin\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    ObjMeshReader::Options options;
    u32 vertexType = 0;
    u32 rootTag = ModelFile::kRootTag3;
    std::string input, output;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--type" && i + 1 < argc) {
            vertexType = static_cast<u32>(std::strtoul(argv[++i], nullptr, 10));
        } else if (arg == "--tbm2") {
            rootTag = ModelFile::kRootTag2;
        } else if (arg == "--as-is") {
            options.convertHandedness = false;
        } else if (arg == "--scale" && i + 1 < argc) {
            options.scale = std::strtof(argv[++i], nullptr);
        } else if (!arg.empty() && arg[0] == '-') {
            return Usage();
        } else if (input.empty()) {
            input = arg;
        } else if (output.empty()) {
            output = arg;
        } else {
            return Usage();
        }
    }
    if (input.empty() || output.empty()) return Usage();
    if (!ModelFile::IsModelVertexType(vertexType)) {
        std::fprintf(stderr, "modeltool: vertex type %u cannot be stored in a model file\n", vertexType);
        return 2;
    }

    // A mesh source is text of at most the size of the model file it makes.
    std::string text;
    int errorNumber = 0;
    const FileRead read = ReadWholeFile(input, ModelFile::kMaxFileSize, &text, &errorNumber);
    if (read != FileRead::Ok) {
        std::fprintf(stderr, "modeltool: %s\n",
                     FileReadErrorText(read, input, ModelFile::kMaxFileSize, errorNumber).c_str());
        return 1;
    }
    std::istringstream in(text);
    ModelCpuMesh mesh;
    std::string error;
    if (!ObjMeshReader(options).Read(in, mesh, error)) {
        std::fprintf(stderr, "modeltool: %s: %s\n", input.c_str(), error.c_str());
        return 1;
    }
    D3DXVECTOR3 center, extent;
    mesh.ComputeBounds(center, extent);
    ModelFileWriter writer(rootTag);
    writer.AddMesh(mesh, center, extent, vertexType);
    if (!writer.Save(output, error)) {
        std::fprintf(stderr, "modeltool: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s: %u vertices, %u triangles\n", output.c_str(), mesh.VertexCount(), mesh.IndexCount() / 3);
    return 0;
}
