#include "render/Skybox.h"

#include "core/TypeId.h"
#include "reflection/MetaMemVar.h"
#include "render/MeshBuilder.h"

Skybox::Skybox() : Model(TypeId<Skybox>::Get()) {
    static bool registered = false;
    if (registered) return;
    registered = true;
    MetaMemVar<Skybox>::Add("filename", this, filename);
    MetaMemVar<Skybox>::Add("material", this, material);
}

Skybox::Skybox(const Skybox& other) : Model(other) {}

void Skybox::Init() {
    MeshBuilder::SkyboxCube(*this);
}
