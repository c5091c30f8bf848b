#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>

#include "render/mesh/ModelFile.h"
#include "render/mesh/ModelFileWriter.h"

namespace {

ModelCpuMesh MakeQuadMesh() {
    ModelCpuMesh m;
    const D3DXVECTOR3 pos[4] = {{-1, 1, 0}, {1, 1, 0}, {-1, -1, 0}, {1, -1, 0}};
    for (int i = 0; i < 4; ++i) {
        ModelVertex v;
        v.position = pos[i];
        v.normal = D3DXVECTOR3(0, 0, -1);
        v.texCoord = D3DXVECTOR2(static_cast<float>(i & 1), static_cast<float>(i >> 1));
        m.vertices.push_back(v);
    }
    m.indices = {0, 1, 3, 2, 0, 3};
    return m;
}

const D3DXVECTOR3 kCenter(0.5f, -0.25f, 2.0f);
const D3DXVECTOR3 kExtent(1.0f, 1.0f, 0.0f);

std::vector<u8> QuadFile(u32 vertexType = 0, u32 rootTag = ModelFile::kRootTag3) {
    ModelFileWriter w(rootTag);
    EXPECT_TRUE(w.AddMesh(MakeQuadMesh(), kCenter, kExtent, vertexType));
    return w.Bytes();
}

// Parses from a heap block of exactly the file's size, so any read past the
// end is caught by AddressSanitizer.
bool ParseExact(ModelFile& file, const std::vector<u8>& bytes) {
    std::unique_ptr<u8[]> block(new u8[bytes.size() ? bytes.size() : 1]);
    if (!bytes.empty()) std::memcpy(block.get(), bytes.data(), bytes.size());
    return file.Parse(block.get(), bytes.size());
}

void PutU32(std::vector<u8>& b, size_t at, u32 v) {
    std::memcpy(b.data() + at, &v, 4);
}

void ExpectSameMesh(const ModelCpuMesh& a, const ModelCpuMesh& b) {
    ASSERT_EQ(a.VertexCount(), b.VertexCount());
    ASSERT_EQ(a.indices, b.indices);
    EXPECT_EQ(0, std::memcmp(a.vertices.data(), b.vertices.data(), a.vertices.size() * sizeof(ModelVertex)));
}

// Offsets inside QuadFile(0): root header 8, mesh header 8, then the payload.
constexpr size_t kPayload = 16;
constexpr size_t kIndexSizeAt = kPayload + 24;
constexpr size_t kIndexCountAt = kPayload + 28;
constexpr size_t kIndicesAt = kPayload + 32;
constexpr size_t kVertexTypeAt = kIndicesAt + 6 * 4;
constexpr size_t kVertexCountAt = kVertexTypeAt + 4;

}  // namespace

TEST(ModelFileTest, WrittenFileReadsBackVerticesIndicesAndBounds) {
    for (u32 root : {ModelFile::kRootTag2, ModelFile::kRootTag3}) {
        ModelFile file;
        ASSERT_TRUE(ParseExact(file, QuadFile(0, root))) << file.Error();
        ASSERT_TRUE(file.HasMesh());
        ExpectSameMesh(file.Mesh(), MakeQuadMesh());
        EXPECT_EQ(file.Center(), kCenter);
        EXPECT_EQ(file.Extent(), kExtent);
    }
}

TEST(ModelFileTest, SavedFileLoadsFromDisk) {
    const auto dir = std::filesystem::temp_directory_path() / "dd_model_file_test";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "quad.bin").string();
    ModelFileWriter w;
    ASSERT_TRUE(w.AddMesh(MakeQuadMesh(), kCenter, kExtent));
    std::string error;
    ASSERT_TRUE(w.Save(path, error)) << error;
    ModelFile file;
    ASSERT_EQ(file.Load(path), ModelFile::Result::Ok) << file.Error();
    ExpectSameMesh(file.Mesh(), MakeQuadMesh());
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));

    EXPECT_EQ(file.Load((dir / "missing.bin").string()), ModelFile::Result::CannotOpen);
    EXPECT_EQ(file.Load(dir.string()), ModelFile::Result::Malformed);
    EXPECT_EQ(file.Error(), dir.string() + " is a folder, not a regular file");
    std::filesystem::remove_all(dir);
}

TEST(ModelFileTest, WideVertexTypesKeepOnlyTheFirst32Bytes) {
    for (u32 type : {1u, 2u, 3u, 5u}) {
        ModelFile file;
        ASSERT_TRUE(ParseExact(file, QuadFile(type))) << "type " << type << ": " << file.Error();
        EXPECT_EQ(file.SourceVertexType(), type);
        ExpectSameMesh(file.Mesh(), MakeQuadMesh());
    }
}

TEST(ModelFileTest, RootHeaderAloneIsASoundFileWithoutMesh) {
    ModelFile file;
    ASSERT_TRUE(ParseExact(file, ModelFileWriter().Bytes()));
    EXPECT_FALSE(file.HasMesh());
    EXPECT_EQ(file.Mesh().VertexCount(), 0u);
}

TEST(ModelFileTest, UnknownChunksAreSkippedAndTagZeroEndsTheList) {
    ModelFileWriter w;
    w.AddChunk(0x6E6F7065, {1, 2, 3, 4, 5, 'h', 's', 'e', 'm'});  // holds bytes that look like a tag
    ASSERT_TRUE(w.AddMesh(MakeQuadMesh(), kCenter, kExtent));
    ModelFile file;
    ASSERT_TRUE(ParseExact(file, w.Bytes())) << file.Error();
    ExpectSameMesh(file.Mesh(), MakeQuadMesh());

    ModelFileWriter ended;
    ended.AddChunk(0, {});
    ASSERT_TRUE(ended.AddMesh(MakeQuadMesh(), kCenter, kExtent));
    ASSERT_TRUE(ParseExact(file, ended.Bytes()));
    EXPECT_FALSE(file.HasMesh());
}

TEST(ModelFileTest, LastOfSeveralMeshChunksWins) {
    ModelCpuMesh small = MakeQuadMesh();
    small.vertices.resize(3);
    small.indices = {0, 1, 2};
    ModelFileWriter w;
    ASSERT_TRUE(w.AddMesh(MakeQuadMesh(), kCenter, kExtent));
    ASSERT_TRUE(w.AddMesh(small, kExtent, kCenter));
    ModelFile file;
    ASSERT_TRUE(ParseExact(file, w.Bytes()));
    ExpectSameMesh(file.Mesh(), small);
    EXPECT_EQ(file.Center(), kExtent);
}

TEST(ModelFileTest, IndexCountNotAMultipleOfThreeIsKept) {
    ModelCpuMesh m = MakeQuadMesh();
    m.indices.push_back(1);
    ModelFileWriter w;
    ASSERT_TRUE(w.AddMesh(m, kCenter, kExtent));
    ModelFile file;
    ASSERT_TRUE(ParseExact(file, w.Bytes()));
    EXPECT_EQ(file.Mesh().IndexCount(), 7u);
}

TEST(ModelFileTest, WriterRefusesVertexTypesWithoutTheModelLayout) {
    ModelFileWriter w;
    EXPECT_FALSE(w.AddMesh(MakeQuadMesh(), kCenter, kExtent, 4));
    EXPECT_FALSE(w.AddMesh(MakeQuadMesh(), kCenter, kExtent, 6));
    EXPECT_FALSE(w.AddMesh(MakeQuadMesh(), kCenter, kExtent, 7));
}

struct HostileCase {
    const char* name;
    std::vector<u8> bytes;
};

std::vector<HostileCase> HostileFiles() {
    std::vector<HostileCase> cases;
    auto patched = [&](const char* name, size_t at, u32 value) {
        std::vector<u8> b = QuadFile();
        PutU32(b, at, value);
        cases.push_back({name, b});
    };
    {
        std::vector<u8> b = QuadFile();
        b[0] = 'x';
        cases.push_back({"wrong root tag", b});
    }
    cases.push_back({"shorter than the root header", {0x32, 0x6D, 0x62}});
    patched("index size 2", kIndexSizeAt, 2);
    patched("index size 0", kIndexSizeAt, 0);
    patched("index count whose byte size wraps 32 bits", kIndexCountAt, 0x40000001);
    patched("index count past the chunk", kIndexCountAt, 1000);
    patched("index count 0xFFFFFFFF", kIndexCountAt, 0xFFFFFFFF);
    patched("vertex count whose byte size wraps 32 bits", kVertexCountAt, 0x08000001);
    patched("vertex count past the chunk", kVertexCountAt, 5);
    patched("vertex count 0xFFFFFFFF", kVertexCountAt, 0xFFFFFFFF);
    patched("vertex type 4 (28-byte colour vertices)", kVertexTypeAt, 4);
    patched("vertex type 6 (particle records)", kVertexTypeAt, 6);
    patched("vertex type 7 (outside the table)", kVertexTypeAt, 7);
    patched("vertex type 0xFFFFFFFF", kVertexTypeAt, 0xFFFFFFFF);
    patched("index equal to the vertex count", kIndicesAt + 8, 4);
    patched("index 0xFFFFFFFF", kIndicesAt, 0xFFFFFFFF);
    patched("mesh chunk shorter than its head", 12, 20);
    patched("mesh chunk size 0xFFFFFFFF", 12, 0xFFFFFFFF);
    patched("mesh chunk size that would wrap the position back", 12, 0xFFFFFFF8);
    {
        std::vector<u8> b = QuadFile();
        b.resize(b.size() - 5);
        cases.push_back({"mesh chunk cut short by the end of the file", b});
    }
    {
        std::vector<u8> b = QuadFile();
        b.resize(b.size() - 32);
        PutU32(b, 12, static_cast<u32>(b.size() - 16));
        cases.push_back({"mesh chunk whose vertices pass its own size", b});
    }
    {
        ModelFileWriter w;
        w.AddChunk(0x6E6F7065, {1, 2, 3, 4});
        std::vector<u8> b = w.Bytes();
        PutU32(b, 12, 0xFFFFFFF8);
        cases.push_back({"unknown chunk size that would wrap the position back", b});
    }
    {
        ModelFileWriter w;
        w.AddChunk(0x6E6F7065, {1, 2, 3, 4});
        std::vector<u8> b = w.Bytes();
        PutU32(b, 12, 5);
        cases.push_back({"unknown chunk past the end of the file", b});
    }
    return cases;
}

TEST(ModelFileTest, HostileFilesAreRejectedWithAReasonAndNoMesh) {
    for (const HostileCase& c : HostileFiles()) {
        ModelFile file;
        EXPECT_FALSE(ParseExact(file, c.bytes)) << c.name;
        EXPECT_FALSE(file.HasMesh()) << c.name;
        EXPECT_EQ(file.Mesh().VertexCount(), 0u) << c.name;
        EXPECT_FALSE(file.Error().empty()) << c.name;
    }
}

TEST(ModelFileTest, EveryTruncationOfAMeshFileFailsOrHasNoMesh) {
    const std::vector<u8> whole = QuadFile(5);
    for (size_t n = 0; n < whole.size(); ++n) {
        ModelFile file;
        const std::vector<u8> cut(whole.begin(), whole.begin() + static_cast<long>(n));
        // A header cut before it is complete ends the list; anything cut
        // inside the mesh chunk is refused.
        if (ParseExact(file, cut)) {
            EXPECT_FALSE(file.HasMesh()) << n;
        }
    }
}

TEST(ModelFileTest, FailedParseForgetsThePreviousMesh) {
    ModelFile file;
    ASSERT_TRUE(ParseExact(file, QuadFile()));
    std::vector<u8> bad = QuadFile();
    PutU32(bad, kIndexSizeAt, 2);
    EXPECT_FALSE(ParseExact(file, bad));
    EXPECT_FALSE(file.HasMesh());
}
