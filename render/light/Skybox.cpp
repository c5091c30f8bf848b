#include "render/light/Skybox.h"

#include "render/mesh/MeshBuilder.h"

void Skybox::Reflect(MemberList<Skybox>& members) {
    members.Add("filename", &Skybox::filename);
    members.Add("material", &Skybox::material);
}

void Skybox::Init() {
    loadedFilename_ = filename;
    MeshBuilder::SkyboxCube(*this);
}

bool Skybox::LoadChangedNames() {
    if (filename == loadedFilename_) return false;
    Init();
    return true;
}
