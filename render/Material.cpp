#include "render/Material.h"

#include "reflection/MetaMemVar.h"
#include "render/RenderResources.h"

namespace {

GpuShaderResourceView* Lookup(const std::string& name) {
    RenderResources* resources = RenderResources::Instance();
    return resources ? resources->GetTexture(name) : nullptr;
}

void LoadSlot(bool locked, const std::string& fileName, std::string& loaded, GpuShaderResourceView*& view) {
    if (locked || fileName == loaded) return;
    loaded = fileName;
    view = Lookup(fileName);
}

}  // namespace

Material::Material() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    using M = MetaMemVar<Material>;
    M::Add("diffuseFileName", this, diffuseFileName);
    M::Add("normalFileName", this, normalFileName);
    M::Add("specularFileName", this, specularFileName);
    M::Add("glowFileName", this, glowFileName);
    M::Add("tileFactor", this, tileFactor);
}

void Material::LoadTextures(Material& m) {
    LoadSlot(m.diffuseLocked, m.diffuseFileName, m.diffuseLoaded, m.diffuse);
    LoadSlot(m.normalLocked, m.normalFileName, m.normalLoaded, m.normal);
    LoadSlot(m.specularLocked, m.specularFileName, m.specularLoaded, m.specular);
    LoadSlot(m.glowLocked, m.glowFileName, m.glowLoaded, m.glow);
}

void Material::ResolveTextures(Material& target, const Material& source) {
    target = source;
    target.diffuse = Lookup(target.diffuseFileName);
    target.normal = Lookup(target.normalFileName);
    target.specular = Lookup(target.specularFileName);
    target.glow = Lookup(target.glowFileName);
}
