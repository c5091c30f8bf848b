#include "render/Skybox.h"

#include "render/MeshBuilder.h"

void Skybox::Reflect(MemberList<Skybox>& members) {
    members.Add("filename", &Skybox::filename);
    members.Add("material", &Skybox::material);
}

void Skybox::Init() {
    MeshBuilder::SkyboxCube(*this);
}
