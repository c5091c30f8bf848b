#include "render/Primitive.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "core/TypeId.h"
#include "engine/GameObject.h"
#include "engine/Logger.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "port/panels/TweakPanels.h"
#include "reflection/MetaMemVar.h"
#include "reflection/TweakBinding.h"
#include "reflection/TweakVarParams.h"
#include "render/FrameContext.h"
#include "render/MeshBuilder.h"
#include "render/Model.h"
#include "render/NoiseGenerator.h"

Primitive::Primitive() : IComponent(TypeId<Primitive>::Get()) {
    static bool registered = false;
    if (registered) return;
    registered = true;
    using M = MetaMemVar<Primitive>;
    M::Add("primType", this, primType, false);
    M::Add("noisy", this, noisy);
    M::Add("gradient", this, gradient);
    M::Add("stacks", this, stacks);
    M::Add("slices", this, slices);
    M::Add("r", this, r);
    M::Add("ry", this, ry);
    M::Add("rz", this, rz);
    M::Add("objectWidth", this, objectWidth);
    M::Add("objectHeight", this, objectHeight);
    M::Add("objectDepth", this, objectDepth);
    M::Add("width", this, width);
    M::Add("height", this, height);
    M::Add("octaves", this, octaves);
    M::Add("persist", this, persist);
    M::Add("gaussian", this, gaussian);
    M::Add("noiseGlowmap", this, noiseGlowmap);
    M::Add("color", this, color);
    M::Add("endColor", this, endColor);
    M::Add("solidColor", this, solidColor);
    M::Add("material", this, material);
}

Primitive::~Primitive() = default;

void Primitive::Init() {
    BuildMesh(false);
}

u32 Primitive::GetAliasTypeId() {
    return TypeId<Model>::Get();
}

IComponent* Primitive::Clone() {
    auto* clone = new Primitive();
    clone->primType = primType;
    clone->noisy = noisy;
    clone->gradient = gradient;
    clone->noiseGlowmap = noiseGlowmap;
    clone->stacks = stacks;
    clone->slices = slices;
    clone->r = r;
    clone->ry = ry;
    clone->rz = rz;
    clone->objectWidth = objectWidth;
    clone->objectHeight = objectHeight;
    clone->objectDepth = objectDepth;
    clone->width = width;
    clone->height = height;
    clone->octaves = octaves;
    clone->persist = persist;
    clone->gaussian = gaussian;
    clone->color = color;
    clone->endColor = endColor;
    clone->solidColor = solidColor;
    clone->material = material;
    return clone;
}

namespace {
bool Finite(float v) {
    return std::isfinite(v);
}

bool CountFits(int count, int minimum) {
    return count >= minimum && count <= Primitive::kMaxStacksOrSlices;
}
}  // namespace

Model* Primitive::MakeShape(const NoiseGrid* grid) const {
    switch (primType) {
        case kSphere:
        case kEllipsoid: {
            const float radiusY = primType == kSphere ? r : ry;
            const float radiusZ = primType == kSphere ? r : rz;
            if (!CountFits(stacks, 2) || !CountFits(slices, 2) || !Finite(r) || !Finite(radiusY) || !Finite(radiusZ))
                return nullptr;
            return MeshBuilder::Sphere(stacks, slices, r, radiusY, radiusZ, noisy ? grid : nullptr);
        }
        case kQuad:
            if (objectWidth == 0.0f || objectHeight == 0.0f || !Finite(objectWidth) || !Finite(objectHeight))
                return nullptr;
            return MeshBuilder::Quad(objectWidth, objectHeight, color);
        case kCube:
            // Always the unit cube: the sizes only guard it.
            if ((objectWidth == 0.0f && objectHeight == 0.0f && objectDepth == 0.0f) || !Finite(objectWidth) ||
                !Finite(objectHeight) || !Finite(objectDepth))
                return nullptr;
            return MeshBuilder::Cube();
        case kCone:
            // Height 0 is a flat disc; a cone needs a slice and a radius.
            if (!CountFits(slices, 1) || !(r > 0.0f) || !Finite(r) || !Finite(objectHeight)) return nullptr;
            return MeshBuilder::Cone(slices, r, objectHeight);
        default:
            return nullptr;
    }
}

Model* Primitive::BuildMesh(bool announce) {
    Overlord* overlord = Overlord::Instance();
    GameObject* owner = overlord ? overlord->GetGameObject(GetOwner()) : nullptr;
    if (owner && owner->GetComponentByTypeId(TypeId<Model>::Get())) owner->RemoveComponent(TypeId<Model>::Get());

    NoiseGenerator* noise = NoiseGenerator::Instance();
    const NoiseGrid* grid = nullptr;
    if ((noisy || noiseGlowmap) && noise) grid = noise->GetFractalNoise(width, height, octaves, persist, gaussian);

    Model* model = MakeShape(grid);
    if (!model) {
        Log("Primitive %u: no shape for type %d with these settings", GetId(), primType);
        return nullptr;
    }

    Material& m = model->material;
    if (noisy && grid) {
        m.diffuse = noise->GetTextureView(grid, color, gradient ? endColor : color);
    } else if (solidColor || noisy) {
        m.diffuse = FrameContext::Solid(color);
    } else {
        Material::LoadTextures(material);
        Material::ResolveTextures(m, material);
    }
    const D3DXCOLOR black(0, 0, 0, 1);
    if (noiseGlowmap && grid)
        m.glow = noise->GetTextureView(grid, black, D3DXCOLOR(0.1f, 0.1f, 0.1f, 0.1f));
    else
        m.glow = FrameContext::Solid(black);
    m.diffuseLocked = m.glowLocked = m.specularLocked = m.normalLocked = true;

    if (!owner) return model;  // not on an object: the caller keeps it
    owner->AddComponent(model);
    if (announce) ::Broadcast(owner->GetId(), kMsgTypeComponentAnnounced, TypeId<Model>::Get(), model->GetId());
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
