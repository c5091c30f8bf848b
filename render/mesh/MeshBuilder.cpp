#include "render/mesh/MeshBuilder.h"

#include "engine/FilePath.h"
#include "render/frame/RenderDevice.h"
#include "render/frame/RenderResources.h"
#include "render/mesh/MeshUpload.h"
#include "render/mesh/Model.h"
#include "render/mesh/NoiseGrid.h"
#include "scene/DevozizuDave.h"
#include "scene/ObjectFactory.h"

namespace {

Model* NewModel() {
    ObjectFactory* factory = ObjectFactory::Instance();
    Model* model = factory ? factory->Create<Model>() : nullptr;
    return model ? model : new Model();
}

Model* Build(const MeshGeometry& geometry) {
    Model* model = NewModel();
    MeshBuilder::Fill(*model, geometry);
    return model;
}

Model* BuildColoured(const MeshGeometry& geometry, const D3DXCOLOR& colour) {
    Model* model = Build(geometry);
    if (RenderResources* resources = RenderResources::Instance()) {
        // Held by the material: the cache may drop the colour once the model goes.
        model->material.generatedDiffuse = resources->HoldSolidColorTexture(colour.r, colour.g, colour.b, colour.a);
        model->material.diffuse = model->material.generatedDiffuse.get();
    }
    return model;
}

}  // namespace

void MeshBuilder::Fill(Model& model, const MeshGeometry& geometry) {
    RenderDevice* device = RenderDevice::Instance();
    MeshUpload::Buffers(device ? device->GetDevice() : nullptr, geometry.mesh, geometry.indexed, model.vertexBuffer,
                        model.indexBuffer);
    model.vertexCount = geometry.mesh.VertexCount();
    model.triangleCount = geometry.triangleCount;
    model.stride = sizeof(ModelVertex);
    model.offset = 0;
    model.topology = geometry.topology;
    model.center = geometry.center;
    model.extent = geometry.extent;
    model.cacheEntry = nullptr;
}

Model* MeshBuilder::Cube() {
    MeshGeometry g;
    MeshGeometry::Cube(g);
    return Build(g);
}

Model* MeshBuilder::Sphere(int stacks, int slices, float rx, float ry, float rz, const NoiseGrid* grid) {
    MeshGeometry g;
    MeshGeometry::PositionScale scale;
    if (grid) scale = [grid](float u, float v) { return NoiseGrid::SampleCosine(grid, u, v); };
    return MeshGeometry::Sphere(stacks, slices, rx, ry, rz, scale, g) ? Build(g) : nullptr;
}

Model* MeshBuilder::Cone(int slices, float radius, float height) {
    MeshGeometry g;
    return MeshGeometry::Cone(slices, radius, height, g) ? Build(g) : nullptr;
}

Model* MeshBuilder::SplineLine(const std::vector<D3DXVECTOR3>& samples, const D3DXCOLOR& colour) {
    MeshGeometry g;
    MeshGeometry::SplineLine(samples, g);
    return BuildColoured(g, colour);
}

Model* MeshBuilder::Panel(float halfWidth, float halfHeight, const D3DXCOLOR& colour) {
    MeshGeometry g;
    MeshGeometry::Panel(halfWidth, halfHeight, g);
    return BuildColoured(g, colour);
}

Model* MeshBuilder::Grid(float spacing, const D3DXCOLOR& colour) {
    MeshGeometry g;
    MeshGeometry::Grid(spacing, g);
    return BuildColoured(g, colour);
}

Model* MeshBuilder::Gizmo(float spacing, float r, float g, float b, float a) {
    return Grid(spacing, D3DXCOLOR(r, g, b, a));
}

Model* MeshBuilder::Square(const D3DXCOLOR& colour) {
    return Quad(1.0f, 1.0f, colour);
}

Model* MeshBuilder::Quad(float halfWidth, float halfHeight, const D3DXCOLOR& colour) {
    MeshGeometry g;
    MeshGeometry::Quad(halfWidth, halfHeight, g);
    return BuildColoured(g, colour);
}

void MeshBuilder::SkyboxCube(Model& skybox) {
    MeshGeometry g;
    MeshGeometry::SkyboxCube(g);
    Fill(skybox, g);
    DevozizuDave* folders = DevozizuDave::Instance();
    RenderResources* resources = RenderResources::Instance();
    if (!folders || !resources) return;
    // The sky box keeps its cube: it is released with the sky box.
    skybox.material.generatedDiffuse = resources->LoadTextureFile(folders->skybox.GetFullPath(skybox.filename));
    skybox.material.diffuse = skybox.material.generatedDiffuse.get();
    skybox.material.diffuseLocked = true;
}

Model* MeshBuilder::DebugSphere(float radius, const D3DXCOLOR& colour) {
    MeshGeometry g;
    MeshGeometry::DebugSphere(radius, g);
    Model* model = BuildColoured(g, colour);
    model->filename = kDebugSphereName;
    return model;
}

Model* MeshBuilder::Tunnel(const std::vector<MeshGeometry::TunnelFrame>& frames, int sideCount, float radius,
                           const Material& material) {
    MeshGeometry g;
    if (!MeshGeometry::Tunnel(frames, sideCount, radius, g)) return nullptr;
    Model* model = Build(g);
    Material::ResolveTextures(model->material, material);
    return model;
}
