// Reads a Wavefront OBJ mesh (v, vt, vn and polygon f records) into a
// ModelCpuMesh for the model tool. Polygons become triangle fans; each
// distinct position/texture/normal triple becomes one vertex. By default the
// OBJ's right-handed, counter-clockwise, v-up conventions are turned into the
// renderer's left-handed, clockwise, v-down ones. Owned by the tool; one thread.
#pragma once
#include <istream>
#include <string>

#include "render/mesh/ModelCpuMesh.h"

class ObjMeshReader {
public:
    struct Options {
        // Negate z, reverse each triangle's winding and flip v (v := 1 - v).
        bool convertHandedness = true;
        float scale = 1.0f;
    };

    explicit ObjMeshReader(const Options& options) : options_(options) {}

    // False with `error` naming the line when a record is malformed or an
    // index is out of range. Vertices without a normal get the normals of
    // MeshGeometry::ComputeNormals over the faces that use them.
    bool Read(std::istream& in, ModelCpuMesh& out, std::string& error);

private:
    Options options_;
};
