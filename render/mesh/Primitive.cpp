#include "render/mesh/Primitive.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>

#include "core/TypeId.h"
#include "engine/GameObject.h"
#include "engine/Logger.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "port/panels/TweakPanels.h"
#include "reflection/TweakBinding.h"
#include "reflection/TweakVarParams.h"
#include "render/frame/RenderResources.h"
#include "render/mesh/MeshBuilder.h"
#include "render/mesh/Model.h"
#include "render/mesh/NoiseGenerator.h"

void Primitive::Reflect(MemberList<Primitive>& members) {
    members.Add("primType", &Primitive::primType, false);
    members.Add("noisy", &Primitive::noisy);
    members.Add("gradient", &Primitive::gradient);
    members.Add("stacks", &Primitive::stacks);
    members.Add("slices", &Primitive::slices);
    members.Add("r", &Primitive::r);
    members.Add("ry", &Primitive::ry);
    members.Add("rz", &Primitive::rz);
    members.Add("objectWidth", &Primitive::objectWidth);
    members.Add("objectHeight", &Primitive::objectHeight);
    members.Add("objectDepth", &Primitive::objectDepth);
    members.Add("width", &Primitive::width);
    members.Add("height", &Primitive::height);
    members.Add("octaves", &Primitive::octaves);
    members.Add("persist", &Primitive::persist);
    members.Add("gaussian", &Primitive::gaussian);
    members.Add("noiseGlowmap", &Primitive::noiseGlowmap);
    members.Add("color", &Primitive::color);
    members.Add("endColor", &Primitive::endColor);
    members.Add("solidColor", &Primitive::solidColor);
    members.Add("material", &Primitive::material);
}

void Primitive::Init() {
    BuildMesh(false);
}

void Primitive::Shutdown() {
    mesh_.reset();
}

u32 Primitive::GetAliasTypeId() {
    return TypeId<Model>::Get();
}

namespace {
bool Finite(float v) {
    return std::isfinite(v);
}

bool CountFits(int count, int minimum) {
    return count >= minimum && count <= Primitive::kMaxStacksOrSlices;
}

// A size as its bit pattern, for the mesh key.
u32 Bits(float v) {
    u32 bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}
}  // namespace

Model* Primitive::MakeShape(const NoiseGrid* grid, bool* told) {
    *told = false;
    PrimitiveMeshCache::Key key;
    u64 vertices = 0;
    std::function<Model*()> build;
    switch (primType) {
        case kSphere:
        case kEllipsoid: {
            const float radiusY = primType == kSphere ? r : ry;
            const float radiusZ = primType == kSphere ? r : rz;
            if (!CountFits(stacks, 2) || !CountFits(slices, 2) || !Finite(r) || !Finite(radiusY) || !Finite(radiusZ))
                return nullptr;
            const NoiseGrid* scale = noisy ? grid : nullptr;
            key = {kSphere, u32(stacks), u32(slices), Bits(r), Bits(radiusY), Bits(radiusZ), scale != nullptr};
            if (scale) key.insert(key.end(), {u32(width), u32(height), u32(octaves), Bits(persist), gaussian});
            vertices = MeshGeometry::SphereVertexCount(stacks, slices);
            build = [=, this] { return MeshBuilder::Sphere(stacks, slices, r, radiusY, radiusZ, scale); };
            break;
        }
        case kQuad:
            if (objectWidth == 0.0f || objectHeight == 0.0f || !Finite(objectWidth) || !Finite(objectHeight))
                return nullptr;
            key = {kQuad, Bits(objectWidth), Bits(objectHeight)};
            vertices = 4;
            build = [this] { return MeshBuilder::Quad(objectWidth, objectHeight, color); };
            break;
        case kCube:
            // Always the unit cube: the sizes only guard it.
            if ((objectWidth == 0.0f && objectHeight == 0.0f && objectDepth == 0.0f) || !Finite(objectWidth) ||
                !Finite(objectHeight) || !Finite(objectDepth))
                return nullptr;
            key = {kCube};
            vertices = 8;
            build = [] { return MeshBuilder::Cube(); };
            break;
        case kCone:
            // Height 0 is a flat disc; a cone needs a slice and a radius.
            if (!CountFits(slices, 1) || !(r > 0.0f) || !Finite(r) || !Finite(objectHeight)) return nullptr;
            key = {kCone, u32(slices), Bits(r), Bits(objectHeight)};
            vertices = MeshGeometry::ConeVertexCount(slices);
            build = [this] { return MeshBuilder::Cone(slices, r, objectHeight); };
            break;
        default:
            return nullptr;
    }
    mesh_ = PrimitiveMeshCache::Get().Acquire(key, vertices, GetOwner(), build);
    *told = !mesh_;
    return mesh_ ? mesh_->NewModel() : nullptr;
}

Model* Primitive::BuildMesh(bool announce) {
    Overlord* overlord = Overlord::Instance();
    GameObject* owner = overlord ? overlord->GetGameObject(GetOwner()) : nullptr;
    if (owner && owner->GetComponentByTypeId(TypeId<Model>::Get())) owner->RemoveComponent(TypeId<Model>::Get());

    NoiseGenerator* noise = NoiseGenerator::Instance();
    const NoiseGrid* grid = nullptr;
    if ((noisy || noiseGlowmap) && noise) grid = noise->GetFractalNoise(width, height, octaves, persist, gaussian);

    // The old mesh leaves the budget before the new one is counted.
    mesh_.reset();
    bool told = false;
    Model* model = MakeShape(grid, &told);
    if (!model) {
        if (!told) Log("Primitive %u: no shape for type %d with these settings", GetId(), primType);
        return nullptr;
    }

    Material& m = model->material;
    RenderResources* resources = RenderResources::Instance();
    // The material holds its solid colours: the cache may drop them once it goes.
    auto solid = [&](const D3DXCOLOR& c) {
        return resources ? resources->HoldSolidColorTexture(c.r, c.g, c.b, c.a) : nullptr;
    };
    if (noisy && grid) m.generatedDiffuse = noise->GetTextureView(grid, color, gradient ? endColor : color, GetOwner());
    if (noisy && grid && m.generatedDiffuse) {
        m.diffuse = m.generatedDiffuse.get();
    } else if (solidColor || noisy) {
        m.generatedDiffuse = solid(color);
        m.diffuse = m.generatedDiffuse.get();
    } else {
        Material::LoadTextures(material);
        Material::ResolveTextures(m, material);
    }
    const D3DXCOLOR black(0, 0, 0, 1);
    if (noiseGlowmap && grid)
        m.generatedGlow = noise->GetTextureView(grid, black, D3DXCOLOR(0.1f, 0.1f, 0.1f, 0.1f), GetOwner());
    if (!m.generatedGlow) m.generatedGlow = solid(black);
    m.glow = m.generatedGlow.get();
    m.diffuseLocked = m.glowLocked = m.specularLocked = m.normalLocked = true;

    if (!owner) return model;  // not on an object: the caller keeps it
    owner->AddComponent(model);
    if (announce) Broadcast(ComponentAnnounced(TypeId<Model>::Get()), owner->GetId(), model->GetId());
    return model;
}

void Primitive::RebuildCallback(void* clientData) {
    Overlord* overlord = Overlord::Instance();
    const auto id = static_cast<u32>(reinterpret_cast<std::uintptr_t>(clientData));
    if (auto* primitive = overlord ? overlord->GetComponentById<Primitive>(id) : nullptr) primitive->BuildMesh(true);
}

void Primitive::AddTweakBarVars(TwBar* bar, const TweakVarParams& group) {
    static const TwEnumVal kShapes[] = {
        {kSphere, "SPHERE"}, {kEllipsoid, "ELLIPSOID"}, {kQuad, "QUAD"}, {kCube, "CUBE"}, {kCone, "CONE"},
    };
    const TwType shapeType = TwDefineEnum("PrimitiveType", kShapes, 5);
    const std::string id = std::to_string(GetId());
    TwAddVarRW(bar, ("PRIMITIVE_TYPE_" + id).c_str(), shapeType, &primType,
               MakeTweakDefinition(group, "Primitive Type").c_str());
    TwAddButton(bar, ("Reinit_" + id).c_str(), &RebuildCallback,
                reinterpret_cast<void*>(static_cast<std::uintptr_t>(GetId())),
                MakeTweakDefinition(group, "Rebuild Primitive").c_str());
}
