// The base of the collider components (SphereCollision, CylinderCollision):
// a base radius and six further words that only Clone copies. It reflects no
// member and takes part in no test itself. Owned by its object; main thread
// only.
#pragma once
#include "engine/Component.h"

class Collision : public Component<Collision> {
public:
    Collision() = default;

    float baseRadius = 20.0f;  // the radius a collider falls back to when its file gives none
    u32 words[6] = {};

protected:
    // For the collider classes: their own type id.
    explicit Collision(u32 typeId) : Component<Collision>(typeId) {}
};
