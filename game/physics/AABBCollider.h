// An axis-aligned box of the collider family that takes part in no test; it
// only draws its 12 edges, carried by its object's world matrix. The edge
// list is built on the first draw and owned here. Main thread only.
#pragma once
#include <vector>

#include "engine/Component.h"
#include "engine/DebugLine.h"
#include "port/math/D3DX.h"

class AABBCollider : public Component<AABBCollider> {
public:
    AABBCollider() = default;
    // A copy starts without edges; its first draw builds them.
    AABBCollider(const AABBCollider& other);

    // The 12 edges through the object's world matrix as debug lines.
    void DebugDraw() override;

    D3DXVECTOR3 boxMin{0.0f, 0.0f, 0.0f};  // corners; nothing writes them
    D3DXVECTOR3 boxMax{0.0f, 0.0f, 0.0f};
    D3DXCOLOR colour{0.7f, 0.7f, 0.7f, 1.0f};

private:
    std::vector<DebugLine> edges_;  // in object space
};
