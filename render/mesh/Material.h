// Material: the reflected value type that names up to four textures of the
// "texture" asset folder (diffuse, normal, specular, glow) and the texture
// tiling factor. Embedded by Model, Primitive and several gameplay, front-end
// and editor components. The views are borrowed from RenderResources, which
// owns them; null means the renderer uses the slot's solid default. A slot
// locked by the program (a generated noise texture, a sky box's cube) keeps
// its view whatever its file name says; the material holds such a view
// (generated*) while it shows it. Main thread only.
#pragma once
#include <memory>
#include <string>

#include "port/math/D3DX.h"
#include "reflection/MemberList.h"

class GpuShaderResourceView;

class Material {
public:
    // Empty names, null views, no locks, tileFactor (1, 1). The first
    // construction registers the reflected members.
    Material();

    static void Reflect(MemberList<Material>& members);

    // (Re)loads each unlocked slot whose file name differs from the name it
    // last loaded: the slot's view becomes RenderResources::GetTexture of the
    // name (null for an empty name or a missing file).
    static void LoadTextures(Material& material);
    // target := source, then all four views looked up from the four names,
    // whatever the locks and last-loaded names say.
    static void ResolveTextures(Material& target, const Material& source);

    GpuShaderResourceView* diffuse = nullptr;
    GpuShaderResourceView* normal = nullptr;
    GpuShaderResourceView* specular = nullptr;
    GpuShaderResourceView* glow = nullptr;
    // Views the program made for this material (noise, a sky box's cube),
    // kept alive by it.
    std::shared_ptr<GpuShaderResourceView> generatedDiffuse;
    std::shared_ptr<GpuShaderResourceView> generatedGlow;
    std::string diffuseFileName;                                          // reflected "diffuseFileName"
    std::string normalFileName;                                           // reflected "normalFileName"
    std::string specularFileName;                                         // reflected "specularFileName"
    std::string glowFileName;                                             // reflected "glowFileName"
    std::string diffuseLoaded, normalLoaded, specularLoaded, glowLoaded;  // names the slots hold
    bool diffuseLocked = false;
    bool glowLocked = false;
    bool specularLocked = false;
    bool normalLocked = false;
    D3DXVECTOR2 tileFactor{1, 1};  // reflected "tileFactor": texture-coordinate scale
};
