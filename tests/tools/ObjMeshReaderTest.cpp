#include <gtest/gtest.h>

#include <sstream>

#include "render/mesh/ModelFile.h"
#include "render/mesh/ModelFileWriter.h"
#include "tools/modeltool/ObjMeshReader.h"

namespace {

const char* kSquareObj =
    "# unit square facing +z in OBJ's right-handed convention\r\n"
    "o square\n"
    "v -1 -1 0.5\nv 1 -1 0.5\nv 1 1 0.5\nv -1 1 0.5\n"
    "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
    "vn 0 0 1\n"
    "f 1/1/1 2/2/1 3/3/1 4/4/1\n";

bool ReadObj(const std::string& text, ModelCpuMesh& mesh, std::string& error, bool convert = true) {
    ObjMeshReader::Options options;
    options.convertHandedness = convert;
    std::istringstream in(text);
    return ObjMeshReader(options).Read(in, mesh, error);
}

}  // namespace

TEST(ObjMeshReaderTest, PolygonBecomesAFanConvertedToLeftHandedClockwise) {
    ModelCpuMesh mesh;
    std::string error;
    ASSERT_TRUE(ReadObj(kSquareObj, mesh, error)) << error;
    ASSERT_EQ(mesh.VertexCount(), 4u);
    EXPECT_EQ(mesh.indices, (std::vector<u32>{0, 2, 1, 0, 3, 2}));
    EXPECT_EQ(mesh.vertices[0].position, D3DXVECTOR3(-1, -1, -0.5f));
    EXPECT_EQ(mesh.vertices[0].normal, D3DXVECTOR3(0, 0, -1));
    EXPECT_EQ(mesh.vertices[0].texCoord, D3DXVECTOR2(0, 1));
    // The face was seen from +z in the OBJ; after conversion it is front-facing
    // (cross product toward the eye) from -z.
    const D3DXVECTOR3 e1 = mesh.vertices[2].position - mesh.vertices[0].position;
    const D3DXVECTOR3 e2 = mesh.vertices[1].position - mesh.vertices[0].position;
    D3DXVECTOR3 n;
    D3DXVec3Cross(&n, &e1, &e2);
    EXPECT_LT(n.z, 0.0f);

    ASSERT_TRUE(ReadObj(kSquareObj, mesh, error, false));
    EXPECT_EQ(mesh.indices, (std::vector<u32>{0, 1, 2, 0, 2, 3}));
    EXPECT_EQ(mesh.vertices[0].position, D3DXVECTOR3(-1, -1, 0.5f));
}

TEST(ObjMeshReaderTest, SharedCornersAreOneVertexAndMissingNormalsAreComputed) {
    ModelCpuMesh mesh;
    std::string error;
    ASSERT_TRUE(ReadObj("v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nf 1 2 3\nf -3 -1 -2\n", mesh, error, false)) << error;
    EXPECT_EQ(mesh.VertexCount(), 4u);
    EXPECT_EQ(mesh.IndexCount(), 6u);
    for (const ModelVertex& v : mesh.vertices) EXPECT_NEAR(std::abs(v.normal.z), 1.0f, 1e-6f);
}

TEST(ObjMeshReaderTest, MalformedRecordsNameTheirLine) {
    const char* bad[] = {
        "v 0 0 0\nv 1 0 0\nf 1 2 3\n",         // index past the positions
        "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2\n",  // two corners
        "v 0 0\nf 1 1 1\n",                    // short position
        "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1/x 2 3\n",
        "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1/1 2 3\n",  // texture record missing
        "v 0 0 0\n",                               // no faces
    };
    for (const char* text : bad) {
        ModelCpuMesh mesh;
        std::string error;
        EXPECT_FALSE(ReadObj(text, mesh, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
        EXPECT_EQ(mesh.VertexCount(), 0u) << text;
    }
}

TEST(ObjMeshReaderTest, ToolOutputLoadsWithTheSameMeshAndBounds) {
    ModelCpuMesh mesh;
    std::string error;
    ASSERT_TRUE(ReadObj(kSquareObj, mesh, error)) << error;
    D3DXVECTOR3 center, extent;
    mesh.ComputeBounds(center, extent);
    EXPECT_EQ(center, D3DXVECTOR3(0, 0, -0.5f));
    EXPECT_EQ(extent, D3DXVECTOR3(1, 1, 0));
    for (u32 type : {0u, 2u, 5u}) {
        ModelFileWriter writer;
        ASSERT_TRUE(writer.AddMesh(mesh, center, extent, type));
        const std::vector<u8> bytes = writer.Bytes();
        ModelFile file;
        ASSERT_TRUE(file.Parse(bytes.data(), bytes.size())) << file.Error();
        EXPECT_EQ(file.Mesh().indices, mesh.indices);
        ASSERT_EQ(file.Mesh().VertexCount(), mesh.VertexCount());
        for (u32 i = 0; i < mesh.VertexCount(); ++i) {
            EXPECT_EQ(file.Mesh().vertices[i].position, mesh.vertices[i].position);
            EXPECT_EQ(file.Mesh().vertices[i].normal, mesh.vertices[i].normal);
            EXPECT_EQ(file.Mesh().vertices[i].texCoord, mesh.vertices[i].texCoord);
        }
        EXPECT_EQ(file.Center(), center);
        EXPECT_EQ(file.Extent(), extent);
    }
}
