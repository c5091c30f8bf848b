// Skybox: a Model drawn as the sky cube around the eye by the renderer's sky
// box pass (the owner of the last one announced is used). Init builds the
// inward cube and loads its "filename" from the "skybox" asset folder as a
// cube texture into the material's diffuse slot, which the pass binds; a
// later change of "filename" shows after LoadChangedNames (the editor calls
// it when the name is entered) or another Init. Owned by its object. Main
// thread only.
#pragma once
#include "render/mesh/Model.h"

class Skybox : public Component<Skybox, Model> {
public:
    // Model's members again, as Skybox's own file keys.
    static void Reflect(MemberList<Skybox>& members);

    // The cube mesh and its cube texture (MeshBuilder::SkyboxCube).
    void Init() override;
    // A "filename" other than the one loaded: the cube and its texture again,
    // as Init. The diffuse slot stays the cube's (texture names are not
    // loaded). True when it loaded.
    bool LoadChangedNames() override;
    // No bounding box for the sky.
    void DebugDraw() override {}
};
