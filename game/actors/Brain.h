// Moves an enemy on a circle about `centre` (or sweeps it over a half circle)
// in a plane of constant depth, keeps it facing along its path, and at every
// fixed step fires at the player's ship by sending kMsgFire with a ray from
// itself to its own object (whose Weapon decides whether a shot leaves).
// BehaviorSystem steps it and knows the player's object (the last focus
// object announced stands in without one). Owned by its object; main thread
// only.
#pragma once
#include "engine/Component.h"
#include "port/math/D3DX.h"

class BehaviorSystem;

class Brain : public Component<Brain> {
public:
    Brain() = default;
    static void Reflect(MemberList<Brain>& members);

    // kMsgCirclingAngle (degrees): the circling starts from that angle;
    // kMsgFocusObject: the player's object.
    void HandleMessage(Message* message) override;
    // Move, then fire when a player is found in another place than the enemy.
    void Update(float step) override;
    // Subscribes to kMsgFocusObject and kMsgCirclingAngle; the sweep and the
    // angle start unset.
    void Init() override;
    void Shutdown() override;

    // The system that steps this component, set when it is announced; it
    // lives for the whole run. The player's object is the one it knows (an
    // enemy made after the Player's announcement learns it too), else the
    // last focus object announced.
    void SetBehaviorSystem(const BehaviorSystem* system) { behaviorSystem_ = system; }
    u32 PlayerObjectId() const;

    // Reflected, in file order.
    float firingRangeAngle = 0.0f;  // kept in files; nothing reads it
    float circleRadius = 0.0f;
    float angleIncrement = 0.0f;  // degrees per second
    bool moveLeft = false;        // the angle decreases
    bool halfCircle = false;      // sweep over a half circle instead of circling

    // Set by the spawner that places the enemy (angle also by kMsgCirclingAngle).
    bool sweepReturning = false;
    bool angleSet = false;
    float angle = 0.0f;              // degrees
    D3DXVECTOR2 centre{0.0f, 0.0f};  // x, y of the circle's centre
    u32 playerObjectId = 0;          // from kMsgFocusObject

private:
    const BehaviorSystem* behaviorSystem_ = nullptr;
    void CircleMove(bool left, float step);
    void HalfCircleMove(bool left, float step);
    // Puts the object on the circle at `angle`, facing along it.
    void Place();
    void Fire();
};
