#include "render/mesh/Model.h"

#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "port/gpu/GpuBuffer.h"
#include "port/gpu/GpuDevice.h"
#include "reflection/TweakBinding.h"
#include "reflection/TweakVarParams.h"
#include "render/frame/RenderResources.h"
#include "render/mesh/ModelCache.h"

class GraphicsSystem;

namespace {

// A companion map is looked for, not asked for: its absence is no fault.
bool TextureExists(const std::string& name) {
    RenderResources* resources = RenderResources::Instance();
    return resources && resources->GetTexture(name, false) != nullptr;
}

void FillFromCompanion(std::string& slotName, const std::string& candidate) {
    if (slotName.empty() && TextureExists(candidate)) slotName = candidate;
}

// The slot's view looked up afresh from its name, so a texture that was
// missing when the name was last loaded is found now. A locked slot, or one
// without a name (a builder's colour), keeps the texture the program gave it.
void Refresh(bool locked, const std::string& fileName, GpuShaderResourceView*& view) {
    if (locked || fileName.empty()) return;
    RenderResources* resources = RenderResources::Instance();
    view = resources ? resources->GetTexture(fileName) : nullptr;
}

}  // namespace

void Model::Reflect(MemberList<Model>& members) {
    members.Add("filename", &Model::filename);
    members.Add("material", &Model::material);
}

Model::Model(u32 typeId) : Component(typeId) {}

Model::Model(const Model& other)
    : Component(other),
      filename(other.filename),
      material(other.material),
      vertexCount(other.vertexCount),
      triangleCount(other.triangleCount),
      stride(other.stride),
      offset(other.offset),
      vertexBuffer(other.vertexBuffer),
      indexBuffer(other.indexBuffer),
      topology(kTriangleList),
      center(other.center),
      extent(other.extent),
      cacheEntry(other.cacheEntry),
      loadedFilename_(other.loadedFilename_) {}

void Model::Init() {
    loadedFilename_ = filename;
    if (ModelCache* cache = ModelCache::Instance()) cache->LoadModel(*this);
    LoadTextures();
}

bool Model::LoadChangedNames() {
    if (filename == loadedFilename_) {
        Material::LoadTextures(material);
        return false;
    }
    vertexCount = triangleCount = stride = offset = 0;
    vertexBuffer.reset();
    indexBuffer.reset();
    topology = kTriangleList;
    center = extent = D3DXVECTOR3(0, 0, 0);
    boxLines.reset();
    cacheEntry = nullptr;
    Init();
    return true;
}

void Model::LoadTextures() {
    Material& m = material;
    Refresh(m.diffuseLocked, m.diffuseFileName, m.diffuse);
    Refresh(m.normalLocked, m.normalFileName, m.normal);
    Refresh(m.specularLocked, m.specularFileName, m.specular);
    Refresh(m.glowLocked, m.glowFileName, m.glow);
    const std::string& base = filename;
    FillFromCompanion(material.diffuseFileName, base);
    FillFromCompanion(material.normalFileName, base + ".normal");
    FillFromCompanion(material.specularFileName, base + ".specular");
    FillFromCompanion(material.glowFileName, base + ".glow");
    Material::LoadTextures(material);
}

void Model::DebugDraw() {
    DrawBounds(D3DXCOLOR(1, 1, 1, 1));
}

void Model::DrawBounds(const D3DXCOLOR& colour) {
    if (!boxLines) {
        boxLines = std::make_unique<std::array<DebugLine, 12>>();
        auto corner = [this](int bits) {
            return D3DXVECTOR3(center.x + ((bits & 1) ? extent.x : -extent.x),
                               center.y + ((bits & 2) ? extent.y : -extent.y),
                               center.z + ((bits & 4) ? extent.z : -extent.z));
        };
        // Each edge joins two corners that differ along one axis.
        size_t n = 0;
        for (int axis = 0; axis < 3; ++axis) {
            const int bit = 1 << axis;
            for (int bits = 0; bits < 8; ++bits) {
                if (bits & bit) continue;
                (*boxLines)[n].start = corner(bits);
                (*boxLines)[n].end = corner(bits | bit);
                ++n;
            }
        }
    }
    D3DXMATRIX world;
    D3DXMatrixIdentity(&world);
    Overlord* overlord = Overlord::Instance();
    if (Transform* transform = overlord ? overlord->GetComponent<Transform>(GetOwner()) : nullptr)
        world = transform->GetWorldMatrix();
    for (const DebugLine& edge : *boxLines) {
        D3DXVECTOR4 a, b;
        D3DXVec3Transform(&a, &edge.start, &world);
        D3DXVec3Transform(&b, &edge.end, &world);
        DebugLine line;
        line.start = D3DXVECTOR3(a.x, a.y, a.z);
        line.end = D3DXVECTOR3(b.x, b.y, b.z);
        line.colour = colour;
        SendToSystem(kMsgDebugLineA, TypeId<GraphicsSystem>::Get(), GetId(), line);
    }
}

void Model::AddTweakBarVars(TwBar* bar, const TweakVarParams& group) {
    TwAddVarRO(bar, ("Center" + group.nameSuffix).c_str(), TW_TYPE_DIR3F, &center,
               MakeTweakDefinition(group, "Center").c_str());
    TwAddVarRO(bar, ("Extent" + group.nameSuffix).c_str(), TW_TYPE_DIR3F, &extent,
               MakeTweakDefinition(group, "Extent").c_str());
}

void Model::Draw(GpuDevice& device) const {
    if (!vertexBuffer) return;
    GpuBuffer* buffer = vertexBuffer.get();
    device.IASetVertexBuffers(0, 1, &buffer, &stride, &offset);
    if (indexBuffer) {
        device.IASetIndexBuffer(indexBuffer.get(), GpuFormat::R32_UINT, 0);
        device.DrawIndexed(3 * triangleCount, 0, 0);
    } else {
        device.Draw(vertexCount, 0);
    }
}

GpuTopology Model::ToGpuTopology(u32 topology) {
    switch (topology) {
        case 1:
            return GpuTopology::PointList;
        case 2:
            return GpuTopology::LineList;
        case 3:
            return GpuTopology::LineStrip;
        case 5:
            return GpuTopology::TriangleStrip;
        default:
            return GpuTopology::TriangleList;
    }
}
