// One collider in the CollisionSystem's sweep list: where its object was last
// seen, how far it moved since the update before, its radius and group. Its
// extent along the list's axis grows by that motion. Owned by the SweepList.
#pragma once
#include "core/Types.h"
#include "port/math/D3DXVector.h"

class GameObject;
class SphereCollision;

struct SweepEntry {
    u32 objectId = 0;
    D3DXVECTOR3 position{0.0f, 0.0f, 0.0f};  // last known world position
    float motion = 0.0f;                     // distance between the last two known positions
    float radius = 0.0f;
    int group = 0;  // the collider's collisionGroup
    float minExtent = 0.0f;
    // What the last update found of the object (null: gone, or no usable
    // sphere): read only within that update, before anything is deleted.
    GameObject* seen = nullptr;
    SphereCollision* sphere = nullptr;  // enabled, with a Transform and finite numbers
    D3DXVECTOR3 spherePosition{0.0f, 0.0f, 0.0f};
    float sphereRadius = 0.0f;

    // position[axis] - radius - motion.
    void UpdateExtent(int axis) { minExtent = Along(position, axis) - radius - motion; }
    float MaxExtent(int axis) const { return Along(position, axis) + radius + motion; }

    // Component 0 (x), 1 (y) or 2 (z) of v.
    static float Along(const D3DXVECTOR3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }
};
