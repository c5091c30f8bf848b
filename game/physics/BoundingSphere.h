// A marker of the collider family that takes part in no collision test;
// loaded, saved and shown like any component. The editor's proxies carry one
// for picking, with the bounds of the mesh they stand for (not reflected, so
// files are unchanged; a copy keeps them). Owned by its object; main thread only.
#pragma once
#include "engine/Component.h"
#include "port/math/D3DX.h"

class BoundingSphere : public Component<BoundingSphere> {
public:
    BoundingSphere() = default;

    D3DXVECTOR3 center{0.0f, 0.0f, 0.0f};  // in the object's own space
    D3DXVECTOR3 extent{0.0f, 0.0f, 0.0f};  // half-size; its length is the radius at scale 1
};
