#include <gtest/gtest.h>

#include <filesystem>

#include "RenderTestSupport.h"
#include "render/mesh/Model.h"
#include "render/mesh/ModelCache.h"
#include "render/mesh/ModelFileWriter.h"
#include "scene/DevozizuDave.h"
#include "tests/support/LogCapture.h"

namespace {

namespace fs = std::filesystem;

ModelCpuMesh Triangle() {
    ModelCpuMesh m;
    m.vertices.resize(3);
    m.vertices[1].position = D3DXVECTOR3(1, 0, 0);
    m.vertices[2].position = D3DXVECTOR3(0, 1, 0);
    m.indices = {0, 1, 2, 2, 1};  // five indices: one triangle drawn
    return m;
}

class ModelCacheTest : public RenderFixture {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "ddmodelsXXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        folders.model.baseFolder = folder + "/";
        folders.model.path = "";
        folders.model.extension = ".bin";
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    void Write(const std::string& fileName, const std::vector<u8>& bytes) {
        std::ofstream out(folder + "/" + fileName, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<u8> TriangleFile(u32 vertexType = 0) {
        ModelFileWriter writer;
        EXPECT_TRUE(writer.AddMesh(Triangle(), D3DXVECTOR3(0.5f, 0.5f, 0), D3DXVECTOR3(0.5f, 0.5f, 0), vertexType));
        return writer.Bytes();
    }

    std::string folder;
    DevozizuDave folders;
    ModelCache cache;
};

}  // namespace

TEST_F(ModelCacheTest, FileIsReadOnceAndSharedByEveryModelOfTheName) {
    Write("tri.bin", TriangleFile());
    Model first;
    first.filename = "tri";
    ASSERT_TRUE(cache.LoadModel(first));
    EXPECT_EQ(first.vertexCount, 3u);
    EXPECT_EQ(first.triangleCount, 1u);
    EXPECT_EQ(first.stride, 32u);
    EXPECT_EQ(first.topology, 4u);
    EXPECT_EQ(first.center, D3DXVECTOR3(0.5f, 0.5f, 0));
    ASSERT_NE(first.cacheEntry, nullptr);
    ASSERT_NE(first.cacheEntry->cpuMesh, nullptr);
    EXPECT_EQ(first.cacheEntry->cpuMesh->IndexCount(), 5u);

    fs::remove(folder + "/tri.bin");  // the second load must not need the disk
    Model second;
    second.filename = "tri";
    ASSERT_TRUE(cache.LoadModel(second));
    EXPECT_EQ(second.cacheEntry, first.cacheEntry);
    EXPECT_EQ(second.vertexBuffer, first.vertexBuffer);
    EXPECT_EQ(cache.EntryCount(), 1u);
}

TEST_F(ModelCacheTest, MissingFileCachesNothingAndIsTriedAgain) {
    Model model;
    model.filename = "later";
    model.vertexCount = 99;
    EXPECT_FALSE(cache.LoadModel(model));
    EXPECT_EQ(model.vertexCount, 99u);
    EXPECT_EQ(cache.EntryCount(), 0u);
    Write("later.bin", TriangleFile());
    EXPECT_TRUE(cache.LoadModel(model));
    EXPECT_EQ(model.vertexCount, 3u);

    Model unnamed;
    EXPECT_FALSE(cache.LoadModel(unnamed));
}

TEST_F(ModelCacheTest, NameInOtherLetterCaseFindsTheFile) {
    Write("ship.bin", TriangleFile());
    const ModelCacheEntry* entry = cache.Load("Ship");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->name, "Ship");
    EXPECT_EQ(entry->vertexCount, 3u);
    EXPECT_EQ(cache.Find("Ship"), entry);
}

TEST_F(ModelCacheTest, RefusedFileIsLoggedAndNothingIsCached) {
    std::vector<u8> bad = TriangleFile();
    bad.resize(bad.size() - 4);  // vertices cut short
    Write("bad.bin", bad);
    LogCapture log;
    Model model;
    model.filename = "bad";
    EXPECT_FALSE(cache.LoadModel(model));
    EXPECT_EQ(model.cacheEntry, nullptr);
    EXPECT_EQ(cache.EntryCount(), 0u);
    std::vector<std::pair<unsigned, std::string>> rows;
    if (!log.Finish(rows)) GTEST_SKIP() << "the Logger keeps no file";
    bool found = false;
    for (const auto& row : rows) found = found || row.second.find("bad.bin") != std::string::npos;
    EXPECT_TRUE(found);
}

TEST_F(ModelCacheTest, RootHeaderAloneIsCachedWithoutMeshOrCpuCopy) {
    Write("empty.bin", ModelFileWriter().Bytes());
    Model model;
    model.filename = "empty";
    ASSERT_TRUE(cache.LoadModel(model));
    EXPECT_EQ(model.vertexCount, 0u);
    EXPECT_EQ(model.vertexBuffer, nullptr);
    ASSERT_NE(model.cacheEntry, nullptr);
    EXPECT_EQ(model.cacheEntry->cpuMesh, nullptr);
}

TEST_F(ModelCacheTest, WideVerticesAreReducedTo32Bytes) {
    Write("wide.bin", TriangleFile(2));
    const ModelCacheEntry* entry = cache.Load("wide");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->stride, 32u);
    EXPECT_EQ(entry->cpuMesh->vertices[2].position, D3DXVECTOR3(0, 1, 0));
}

TEST_F(ModelCacheTest, ClearFreesEntriesAndTheInstancePointer) {
    Write("tri.bin", TriangleFile());
    ASSERT_NE(cache.Load("tri"), nullptr);
    EXPECT_EQ(ModelCache::Instance(), &cache);
    cache.Clear();
    EXPECT_EQ(cache.EntryCount(), 0u);
    EXPECT_EQ(ModelCache::Instance(), nullptr);
}

// Every spelling of one file is that file (2,000 spellings of "Ship" read it
// 2,000 times: 725 MB against 224 MB for one spelling).
TEST_F(ModelCacheTest, SpellingsOfOneFileShareItsEntry) {
    Write("ship.bin", TriangleFile());
    fs::create_directory(folder + "/sub");
    const ModelCacheEntry* entry = cache.Load("Ship");
    ASSERT_NE(entry, nullptr);
    for (const char* name : {"./Ship", ".//ship", "././SHIP", "sub/../Ship", "sub//.././ship"})
        EXPECT_EQ(cache.Load(name), entry) << name;
    EXPECT_EQ(cache.EntryCount(), 1u);
}

// A missing model file has one row per name and scene, as a refused one has
// (a thousand models naming missing files gave none); it is still looked for
// at every load.
TEST_F(ModelCacheTest, MissingFileHasOneRowPerNameAndScene) {
    LogCapture log;
    for (int scene = 0; scene < 2; ++scene) {
        for (int ask = 0; ask < 3; ++ask)
            for (int n = 0; n < 100; ++n) EXPECT_EQ(cache.Load("gone" + std::to_string(n)), nullptr);
        cache.ForgetFailures();
    }
    std::vector<std::string> rows;
    if (!log.FinishMessages(rows)) GTEST_SKIP() << "the Logger keeps no file";
    for (int n = 0; n < 100; ++n)
        EXPECT_EQ(LogCapture::CountContaining(rows, folder + "/gone" + std::to_string(n) + ".bin\""), 2u) << n;
}
