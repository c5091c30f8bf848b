// The component that gives an object a procedural shape without a model
// file: a sphere, ellipsoid, quad, cube or cone, optionally with a
// fractal-noise diffuse texture (coloured by a gradient), a noise glow map
// and, for spheres and ellipsoids, noise-roughened geometry. It does not draw
// itself: BuildMesh puts a new Model on its object in place of the old one.
// Its reflected members are the keys of scene and archetype files; the Model
// it makes is left out of archetype files (GetAliasTypeId). Primitives of
// the same shape share one mesh, within a budget of vertices in use
// (PrimitiveMeshCache). Owned by its GameObject; main thread only.
#pragma once
#include <memory>

#include "engine/Component.h"
#include "port/math/D3DX.h"
#include "render/mesh/Material.h"
#include "render/mesh/PrimitiveMeshCache.h"

class Model;
class NoiseGrid;

class Primitive : public Component<Primitive> {
public:
    enum Shape { kSphere = 0, kEllipsoid = 1, kQuad = 2, kCube = 3, kCone = 4 };
    // Counts above this are refused (a mesh of millions of vertices).
    static constexpr int kMaxStacksOrSlices = 1024;

    static void Reflect(MemberList<Primitive>& members);

    // Builds the mesh. The new Model is not announced here: the object is
    // announced, with all its components, once it has been initialised.
    void Init() override;
    // Lets go of its mesh (its vertices leave the budget).
    void Shutdown() override;
    // TypeId<Model>: the archetype writer leaves out the Model this makes.
    u32 GetAliasTypeId() override;
    // The "PrimitiveType" choice and the "Rebuild Primitive" button.
    void AddTweakBarVars(TwBar* bar, const TweakVarParams& group) override;

    // Removes the object's Model, then, unless the settings describe no
    // shape, adds a new one with this primitive's textures (all four slots
    // locked) and, when `announce` is set, announces it at once
    // (ComponentAnnounced(TypeId<Model>)) so the renderer lists it. Settings that describe no
    // shape (unknown type, too few or too many stacks or slices, zero or
    // non-finite sizes), or a new mesh past the budget of primitive vertices,
    // leave the object without a Model. Returns the new Model or null.
    Model* BuildMesh(bool announce);
    // The "Rebuild Primitive" button: BuildMesh(true) on the Primitive
    // registered under the id carried in clientData.
    static void RebuildCallback(void* clientData);

    int primType = kSphere;
    bool noisy = false;
    bool gradient = false;
    bool noiseGlowmap = false;
    int stacks = 4;
    int slices = 4;
    float r = 1.0f;
    float ry = 1.0f;
    float rz = 1.0f;
    float objectWidth = 1.0f;
    float objectHeight = 1.0f;
    float objectDepth = 1.0f;
    int width = 0;
    int height = 0;
    int octaves = 0;
    float persist = 0.0f;
    bool gaussian = false;
    D3DXCOLOR color{0, 0, 0, 1};
    D3DXCOLOR endColor{0, 0, 0, 1};
    bool solidColor = true;
    Material material;

private:
    // A Model with the shared mesh of these settings; null, with `told` set
    // when a row already said why (the budget, a builder), for none.
    Model* MakeShape(const NoiseGrid* grid, bool* told);

    std::shared_ptr<const PrimitiveMeshCache::Mesh> mesh_;  // the mesh this shape holds
};
