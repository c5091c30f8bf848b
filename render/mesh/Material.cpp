#include "render/mesh/Material.h"

#include "render/frame/RenderResources.h"

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
    ReflectOnce<Material>();
}

void Material::Reflect(MemberList<Material>& members) {
    members.Add("diffuseFileName", &Material::diffuseFileName);
    members.Add("normalFileName", &Material::normalFileName);
    members.Add("specularFileName", &Material::specularFileName);
    members.Add("glowFileName", &Material::glowFileName);
    members.Add("tileFactor", &Material::tileFactor);
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
