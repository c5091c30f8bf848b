// A gun on a game object (the player's ship, an enemy). A fire request
// (kMsgFire with a Ray, to its object or to every weapon) turns the object
// toward the point 250 ray lengths along the ray, makes one projectile of
// each archetype, launches them from the object, and then the weapon
// recharges for maxRechargeTime seconds of game time. GameLogic updates it
// once a world step.
// Owned by its object; main thread only.
#pragma once
#include <set>
#include <string>
#include <vector>

#include "engine/Component.h"
#include "port/math/D3DX.h"

struct Ray;
class Transform;

class Weapon : public Component<Weapon> {
public:
    static void Reflect(MemberList<Weapon>& members);

    // kMsgFire of any argument: Fire with its ray.
    void HandleMessage(Message* message) override;
    // Counts the recharge down and refreshes the owner's Transform.
    void Update(float dt) override;
    // Ready to fire (the timer starts full, so the first shot recharges
    // within two updates); subscribes to kMsgFire.
    void Init() override;
    // A line 10000 units long along the facing, queued to the renderer.
    void DebugDraw() override;

    // Nothing while recharging. A ray that gives no direction (zero or not
    // finite) keeps the object's facing. An archetype that cannot be made, or
    // whose objects lack a Projectile or a ProjectilePatternManager, is
    // logged once and left out of this weapon's shots from then on.
    void Fire(const Ray& ray);

    float maxRechargeTime = 0.1f;                   // s between shots
    std::vector<std::string> projectileArchetypes;  // one projectile of each per shot, in order
    std::string fireSound;                          // sound event of every shot ("" plays nothing)

    float rechargeTimer = 0.0f;  // s
    bool recharging = false;

private:
    std::set<std::string> reported_;  // archetype names that could not be made or launched, logged once
};

// A new object of the archetype (loaded from its file on first use), made by
// the ObjectFactory, initialised and announced, not added to the scene; 0
// when it cannot be had. A name in `reported` is not tried again; a failing
// one is logged once under `who` (the weapon's class and object) and added.
u32 MakeShotObject(const std::string& archetype, std::set<std::string>& reported, const char* who, u32 ownerId);

// The queued debug line and the sound of a shot from transform (which may be
// null: then from the origin along +z).
void DrawAimLine(Transform* transform, u32 senderId);
void PlayShotSound(const std::string& sound, Transform* transform, u32 senderId);
