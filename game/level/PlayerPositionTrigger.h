// The level trigger that broadcasts its trigger code once, the first time
// the active camera comes within radius of its object. In play the active
// camera is the renderer's own, which has no object: the game camera's
// object stands for it then. BehaviorSystem steps it. Owned by its object;
// main thread only.
#pragma once
#include "engine/Component.h"

class Transform;

class PlayerPositionTrigger : public Component<PlayerPositionTrigger> {
public:
    static constexpr float kRadius = 20.0f;  // the default radius

    PlayerPositionTrigger() = default;
    static void Reflect(MemberList<PlayerPositionTrigger>& members);

    // Looks up both transforms; without an active camera nothing is tested.
    void Update(float step) override;

    // The Transform of the active camera's object, or of the game camera's
    // object when the active camera has none; null without either.
    static Transform* CameraTransform();

    i32 triggerCode = 0;     // reflected
    float radius = kRadius;  // world units, not reflected; the distance must be below it
    bool fired = false;      // fires once in its life
};
