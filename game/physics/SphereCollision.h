// A sphere around its object's world position, tested pairwise by the
// CollisionSystem. On every refresh (kMsgRefresh, from Physics after a step
// or from a spawner) it tracks its displacement and tells the
// CollisionSystem where it is now (kMsgColliderMoved). Owned by its object;
// main thread only.
#pragma once
#include "game/physics/Collision.h"
#include "port/math/D3DX.h"

class SphereCollision : public Component<SphereCollision, Collision> {
public:
    SphereCollision() = default;
    static void Reflect(MemberList<SphereCollision>& members);

    // kMsgRefresh: when the object has a Transform, the displacement since
    // the last refresh (none at the first), then kMsgColliderMoved to the
    // subscribers. A position or radius that is not a number gives one log
    // row and no kMsgColliderMoved.
    void HandleMessage(Message* message) override;
    // Subscribes to kMsgRefresh under the component id (the hub drops it
    // when the component is unregistered).
    void Init() override;
    // A sphere of 1.1 x radius at the world position, to the renderer.
    void DebugDraw() override;
    void DebugDraw(const D3DXCOLOR& colour);

    // Reflected, in file order.
    float radius = 20.0f;  // units; files normally give it
    float restitution = 0.0f;
    float visionRadius = 20.0f;
    int collisionGroup = 0;  // 0 collides with every group; equal non-zero groups never collide

    D3DXVECTOR3 lastPosition{0.0f, 0.0f, 0.0f};
    D3DXVECTOR3 displacement{0.0f, 0.0f, 0.0f};  // world movement between the last two refreshes
    bool firstRefresh = true;

private:
    void Refresh();

    bool reportedBroken_ = false;  // the not-a-number row was written
};
