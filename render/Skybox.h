// Skybox: a Model drawn as the sky cube around the eye by the renderer's sky
// box pass (the owner of the last one announced is used). Init builds the
// inward cube and loads its "filename" from the "skybox" asset folder as a
// cube texture into the material's diffuse slot, which the pass binds; a
// later change of "filename" shows only after another Init. Owned by its
// object. Main thread only.
#pragma once
#include "render/Model.h"

class Skybox : public Model {
public:
    // TypeId<Skybox>; the first construction registers "filename" and
    // "material" for Skybox.
    Skybox();
    // Copied as a Model (same type id, new id, owner 0).
    Skybox(const Skybox& other);
    Skybox& operator=(const Skybox&) = delete;

    void Update(float) override {}
    // The cube mesh and its cube texture (MeshBuilder::SkyboxCube).
    void Init() override;
    IComponent* Clone() override { return new Skybox(*this); }
    void DebugDraw() override {}
};
