// The ship's track gun. Each shot puts its bullet on a carrier object of its
// own that a new SplineCrawler drives along the ship's track from where the
// ship's carrier is, faster by an extra track velocity that grows with the
// ship's speed; the bullet gains hit points with that speed and the shot
// costs the ship energy. GameLogic updates it once a world step, names the
// player's object every frame (kMsgPlayerObject); the Player switches it on and off.
// Owned by its object (a child of the ship); main thread only.
#pragma once
#include <set>
#include <string>

#include "engine/Component.h"

class SplineCrawler;

class WeaponSpline : public Component<WeaponSpline> {
public:
    static void Reflect(MemberList<WeaponSpline>& members);

    // kMsgFire of any argument: Fire (the ray is not read);
    // kMsgPlayerObject: remembers the player's object.
    void HandleMessage(Message* message) override;
    // Counts the recharge down and refreshes the owner's Transform.
    void Update(float dt) override;
    // Ready to fire; subscribes to its messages and queues
    // kMsgSplineWeaponAnnounced with its id.
    void Init() override;
    // A line 10000 units long along the facing, queued to the renderer.
    void DebugDraw() override;

    // One shot, when a player is known whose object sits on a carrier with a
    // SplineCrawler, the weapon is ready and enabled, and the tank has energy
    // (or the shot is free). Otherwise nothing: no energy spent, no object made.
    void Fire();

    float maxRechargeTime = 0.1f;       // s between shots
    std::string archetype;              // the bullet's archetype
    std::string fireSound;              // sound event of every shot
    float initialVelocity = 100.0f;     // extra track velocity of the carrier, set from the ship's speed at each shot
    float initialAcceleration = 0.0f;   // extra track acceleration of the carrier
    float spawnDistanceFromPlayer = 0;  // kept in files and panels; nothing reads it
    float bulletEnergyCost = 0.1f;      // energy per shot; 0 or less fires on an empty tank

    float rechargeTimer = 0.0f;  // s
    bool recharging = false;

    // The extra track velocity of a shot from a ship crawling at speed under
    // the bound maxVelocity: 1500 + 1500 * speed / maxVelocity, at least
    // 1500 (1500 when maxVelocity is not above 0).
    static float CarrierVelocity(float speed, float maxVelocity);
    // The hit points of a bullet: maxHP + speed / divisor, truncated toward 0
    // (maxHP when the divisor is 0 or the sum is no number).
    static int BulletHitPoints(int maxHP, float speed, float divisor);

private:
    // Makes the carrier that rides the track from the ship's carrier and
    // hangs the bullet on it.
    void Launch(u32 bulletId, u32 playerObjectId, const SplineCrawler& shipCrawler);

    u32 playerObjectId_ = 0;
    bool hasPlayer_ = false;
    std::set<std::string> reported_;  // bullet archetypes that could not be made, logged once
};
