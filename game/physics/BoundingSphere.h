// A marker of the collider family that takes part in no test; loaded, saved
// and shown like any component. Owned by its object; main thread only.
#pragma once
#include "engine/Component.h"

class BoundingSphere : public Component<BoundingSphere> {
public:
    BoundingSphere() = default;
};
