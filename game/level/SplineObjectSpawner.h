// The spawner that places one object of its archetype on a carrier of its
// own riding the player's track: a new object with a Transform and a
// SplineCrawler that starts spawnDistanceFromPlayer ahead of (or behind) the
// player's carrier on the same track, the spawned object a child of it at
// offsetFromSpline. Neither is added to the scene; both are play objects,
// gone at the next scene clear. Owned by its object; acts only on messages;
// main thread only.
#pragma once
#include "game/level/Spawner.h"
#include "port/math/D3DX.h"

class SplineObjectSpawner : public Component<SplineObjectSpawner, Spawner> {
public:
    SplineObjectSpawner() = default;
    static void Reflect(MemberList<SplineObjectSpawner>& members);

    // The player's object (kMsgPlayerObject) and the trigger code.
    void HandleMessage(Message* message) override;
    // Subscriptions, then the base's Init.
    void Init() override;
    void Shutdown() override;
    // Nothing (one log row) unless the player is known and rides a carrier
    // with a SplineCrawler; nothing is made before that is checked.
    void Spawn() override;

    // Reflected, in file order after the base's.
    float spawnDistanceFromPlayer = 0.0f;            // track distance from the player's carrier
    D3DXVECTOR3 offsetFromSpline{0.0f, 0.0f, 0.0f};  // local position on the carrier
    float initialVelocity = 0.0f;                    // added to the carrier's track velocity
    float initialAccelleration = 0.0f;               // added to its track acceleration (the file key is spelled so)

private:
    u32 playerObjectId_ = 0;
};
