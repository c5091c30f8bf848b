// Models on a real device: the model cache's immutable buffers and their
// sharing, the mesh builders' buffers and colours, companion textures found
// next to a model's name, and the sky box cube's locked texture.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include <stb/stb_image_write.h>

#include "port/gpu/GpuBuffer.h"
#include "port/gpu/GpuDevice.h"
#include "port/gpu/GpuShaderResourceView.h"
#include "port/gpu/GpuSwapChain.h"
#include "render/frame/RenderDevice.h"
#include "render/light/Skybox.h"
#include "render/mesh/MeshBuilder.h"
#include "render/mesh/Model.h"
#include "render/mesh/ModelCache.h"
#include "render/mesh/ModelFileWriter.h"
#include "scene/DevozizuDave.h"
#include "tests/render/GraphicsTestRig.h"

namespace fs = std::filesystem;

namespace {

class ModelGLTest : public GraphicsTestRig {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("dd_models_" + std::to_string(::getpid()));
        fs::create_directories(root / "model");
        fs::create_directories(root / "texture");
        fs::create_directories(root / "skybox");
        for (FilePath* folder : {&folders.model, &folders.skybox}) folder->baseFolder = root.string() + "/";
        folders.model.path = "model/";
        folders.model.extension = ".bin";
        folders.skybox.path = "skybox/";
        folders.skybox.extension = ".dds";
        FilePath textures;
        textures.baseFolder = root.string() + "/";
        textures.path = "texture/";
        textures.extension = ".png";
        resources = std::make_unique<RenderResources>(textures, AssetFolder("particle", ".dds"));
        OpenWindow(64, 64);
        std::string error;
        ASSERT_TRUE(GpuCreateDeviceAndSwapChain(window->NativeWindow(), 64, 64, &device, &swapChain, &error)) << error;
        resources->SetDevice(device);
        cache.SetDevice(device);
        renderDevice.SetDevice(device);
    }
    void TearDown() override {
        cache.Clear();
        renderDevice.SetDevice(nullptr);
        resources.reset();
        swapChain.reset();
        device.reset();
        GraphicsTestRig::TearDown();
        fs::remove_all(root);
    }
    void WritePng(const std::string& name) {
        std::vector<std::uint8_t> pixels(4 * 4 * 4, 200);
        ASSERT_TRUE(stbi_write_png((root / "texture" / (name + ".png")).string().c_str(), 4, 4, 4, pixels.data(), 16));
    }
    void WriteModel(const std::string& name, u32 vertexType) {
        ModelCpuMesh mesh;
        mesh.vertices.resize(4);
        mesh.vertices[1].position = D3DXVECTOR3(1, 0, 0);
        mesh.vertices[2].position = D3DXVECTOR3(0, 1, 0);
        mesh.vertices[3].position = D3DXVECTOR3(1, 1, 0);
        mesh.indices = {0, 1, 2, 2, 1, 3};
        ModelFileWriter writer;
        ASSERT_TRUE(writer.AddMesh(mesh, D3DXVECTOR3(0.5f, 0.5f, 0), D3DXVECTOR3(0.5f, 0.5f, 0), vertexType));
        std::string error;
        ASSERT_TRUE(writer.Save((root / "model" / (name + ".bin")).string(), error)) << error;
    }

    fs::path root;
    DevozizuDave folders;
    ModelCache cache;
    RenderDevice renderDevice;
    std::shared_ptr<GpuDevice> device;
    std::unique_ptr<GpuSwapChain> swapChain;
};

void ExpectImmutable(const std::shared_ptr<GpuBuffer>& buffer, u32 bytes, u32 bind) {
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->GetDesc().byteWidth, bytes);
    EXPECT_EQ(buffer->GetDesc().usage, GpuUsage::Immutable);
    EXPECT_EQ(buffer->GetDesc().bindFlags, bind);
}

}  // namespace

TEST_F(ModelGLTest, CachedFileGivesSharedImmutableBuffersOf32ByteVertices) {
    WriteModel("wide", 2);  // 56-byte vertices in the file
    Model first, second;
    first.filename = second.filename = "wide";
    first.Init();
    second.Init();
    ExpectImmutable(first.vertexBuffer, 4 * 32, GpuBindVertexBuffer);
    ExpectImmutable(first.indexBuffer, 6 * 4, GpuBindIndexBuffer);
    EXPECT_EQ(first.vertexBuffer, second.vertexBuffer);
    EXPECT_EQ(first.indexBuffer, second.indexBuffer);
    EXPECT_EQ(first.triangleCount, 2u);
    cache.Clear();  // the entry's buffers go with it only once no Model holds them
    EXPECT_TRUE(first.vertexBuffer->Valid());
}

TEST_F(ModelGLTest, CompanionTexturesFillOnlyEmptyNames) {
    WriteModel("crate", 0);
    for (const char* name : {"crate", "crate.normal", "crate.glow", "explicit"}) WritePng(name);
    Model model;
    model.filename = "crate";
    model.material.glowFileName = "explicit";
    model.Init();
    EXPECT_EQ(model.material.diffuseFileName, "crate");
    EXPECT_EQ(model.material.normalFileName, "crate.normal");
    EXPECT_EQ(model.material.specularFileName, "");
    EXPECT_EQ(model.material.glowFileName, "explicit");
    EXPECT_EQ(model.material.diffuse, resources->GetTexture("crate"));
    EXPECT_NE(model.material.normal, nullptr);
    EXPECT_EQ(model.material.specular, nullptr);
    EXPECT_EQ(model.material.glow, resources->GetTexture("explicit"));
}

TEST_F(ModelGLTest, InitAfterASceneClearFindsATextureThatWasMissingWhenItsNameWasLoaded) {
    Model first;
    first.material.diffuseFileName = "late";
    first.Init();
    EXPECT_EQ(first.material.diffuse, nullptr);  // not there yet
    WritePng("late");
    // A missing name is looked for once per scene: the file is found after
    // the next scene clear, by every model that names it.
    std::unique_ptr<Model> early(static_cast<Model*>(first.Clone()));
    early->Init();
    EXPECT_EQ(early->material.diffuse, nullptr);
    resources->ForgetFailures();
    std::unique_ptr<Model> clone(static_cast<Model*>(first.Clone()));
    clone->Init();
    ASSERT_NE(clone->material.diffuse, nullptr);
    EXPECT_EQ(clone->material.diffuse, resources->GetTexture("late"));

    GpuShaderResourceView* made = resources->GetSolidColorTexture(0.25f, 0.5f, 0.75f, 1);
    clone->material.glow = made;  // a program-made texture under a lock
    clone->material.glowLocked = true;
    clone->Init();
    EXPECT_EQ(clone->material.glow, made);

    std::unique_ptr<Model> quad(MeshBuilder::Quad(1, 1, D3DXCOLOR(1, 0, 1, 1)));
    quad->Init();  // no file, no texture names: the builder's colour stays
    EXPECT_EQ(quad->material.diffuse, resources->GetSolidColorTexture(1, 0, 1, 1));
}

TEST_F(ModelGLTest, BuildersMakeBuffersAndShowTheirColour) {
    std::unique_ptr<Model> sphere(MeshBuilder::Sphere(10, 10, 1, 1, 1));
    ExpectImmutable(sphere->vertexBuffer, 92 * 32, GpuBindVertexBuffer);
    ExpectImmutable(sphere->indexBuffer, 540 * 4, GpuBindIndexBuffer);

    std::unique_ptr<Model> panel(MeshBuilder::Panel(1, 1, D3DXCOLOR(1, 1, 0, 1)));
    ExpectImmutable(panel->vertexBuffer, 8 * 32, GpuBindVertexBuffer);
    EXPECT_EQ(panel->indexBuffer, nullptr);
    EXPECT_EQ(panel->material.diffuse, resources->GetSolidColorTexture(1, 1, 0, 1));

    Model sky;
    sky.filename = "missing";
    MeshBuilder::SkyboxCube(sky);
    ExpectImmutable(sky.indexBuffer, 36 * 4, GpuBindIndexBuffer);
    ASSERT_NE(sky.material.diffuse, nullptr);  // the stand-in for a missing sky texture
    EXPECT_TRUE(sky.material.diffuseLocked);
    GpuShaderResourceView* sky_texture = sky.material.diffuse;
    sky.material.diffuseFileName = "crate";
    Material::LoadTextures(sky.material);
    EXPECT_EQ(sky.material.diffuse, sky_texture);
}

TEST_F(ModelGLTest, FileWithoutMeshNeverAdoptsTheBuffersOfTheModelThatLoadsIt) {
    ModelFileWriter rootOnly;
    std::string error;
    ASSERT_TRUE(rootOnly.Save((root / "model" / "empty.bin").string(), error)) << error;
    std::unique_ptr<Model> built(MeshBuilder::Cube());
    ASSERT_NE(built->vertexBuffer, nullptr);
    built->filename = "empty";
    ASSERT_TRUE(cache.LoadModel(*built));
    const ModelCacheEntry* entry = cache.Find("empty");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->vertexBuffer, nullptr);  // the cache holds only what its own load made
    EXPECT_EQ(entry->indexBuffer, nullptr);
    EXPECT_EQ(built->vertexBuffer, nullptr);  // the Model now shows the file: nothing
}

namespace {
// A file name typed in the editor's panel: the new file's mesh, bounds and
// textures when the changed names are loaded, nothing drawn for a name that
// loads nothing, and the sky box's cube of its new name.
TEST_F(ModelGLTest, ChangedFileNamesLoadAsALoadWouldAndAMissingOneDrawsNothing) {
    WriteModel("plate", 0);
    WritePng("plate");
    Model model;
    model.filename = "missing";
    model.Init();
    EXPECT_FALSE(model.LoadChangedNames()) << "nothing changed";
    EXPECT_EQ(model.vertexBuffer, nullptr);

    model.filename = "plate";
    EXPECT_TRUE(model.LoadChangedNames());
    ExpectImmutable(model.vertexBuffer, 4 * 32, GpuBindVertexBuffer);
    EXPECT_EQ(model.extent, D3DXVECTOR3(0.5f, 0.5f, 0));
    EXPECT_EQ(model.material.diffuseFileName, "plate");
    EXPECT_EQ(model.material.diffuse, resources->GetTexture("plate"));

    model.material.glowFileName = "plate";
    EXPECT_FALSE(model.LoadChangedNames());
    EXPECT_EQ(model.material.glow, resources->GetTexture("plate")) << "a typed texture name loads too";

    model.filename = "gone";
    EXPECT_TRUE(model.LoadChangedNames());
    EXPECT_EQ(model.vertexBuffer, nullptr);
    EXPECT_EQ(model.vertexCount, 0u);
    EXPECT_EQ(model.extent, D3DXVECTOR3(0, 0, 0));

    fs::copy_file(fs::path(std::getenv("DD_ASSET_DIR")) / "skybox" / "Sky.dds", root / "skybox" / "Sky.dds");
    Skybox sky;
    sky.filename = "missing";
    sky.Init();
    const GpuShaderResourceView* standIn = sky.material.diffuse;
    EXPECT_FALSE(sky.LoadChangedNames());
    sky.filename = "Sky";
    EXPECT_TRUE(sky.LoadChangedNames());
    ASSERT_NE(sky.material.diffuse, nullptr);
    EXPECT_NE(sky.material.diffuse, standIn);
    EXPECT_EQ(sky.material.diffuse->Dimension(), GpuSrvDimension::TextureCube);
    ExpectImmutable(sky.indexBuffer, 36 * 4, GpuBindIndexBuffer);
}
}  // namespace
