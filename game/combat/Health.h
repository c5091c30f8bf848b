// Hit points of an object, and the settling of every collision that reaches
// it: both objects lose as many hit points as the other had, bullets flash or
// disable what they hit, and a hit on the ship applies its speed reward,
// shield and energy rules. A dead object is removed (the ship instead tells
// its Player). GameLogic updates it once a world step with the step's game
// time.
// Owned by its object; main thread only.
#pragma once
#include <string>

#include "engine/Component.h"
#include "port/math/D3DX.h"
#include "render/mesh/Material.h"

class Health : public Component<Health> {
public:
    Health() = default;
    static void Reflect(MemberList<Health>& members);

    // kMsgCollision of any argument, sender the other object: ignored while
    // invulnerable, else the hit is settled and the invulnerable time starts.
    void HandleMessage(Message* message) override;
    // Disable and wait phases, flash, pending death, invulnerability and the
    // ship's recharge, in that order.
    void Update(float dt) override;
    // Looks up the object's Model and SphereCollision, resets the state,
    // subscribes to kMsgCollision and fills the hit points.
    void Init() override;

    // The death of the object: the pick-up and effect messages and the
    // object's removal, or for the ship kMsgShipDied to its Player; then the
    // death sound.
    void Die();

    // Reflected, in file order.
    int maxHP = 1;             // 0 or less: dies on its first hit
    int hpRechargeValue = 0;   // per recharge step (ship only); -1 refills to maxHP
    int rechargeWaitTime = 0;  // Update calls between recharge steps
    int currentHP = 0;
    float invulnerableTime = 0.1f;  // s after a handled collision
    std::string deathSound;
    std::string impactSound;
    float flashResetTime = 0.07f;  // s a bullet hit shows the flash material
    bool hasDisablingBehavior = false;
    float disableTime = 5.0f;      // s
    float disableWaitTime = 2.0f;  // s after a disable phase without a new one
    bool shieldCancelEffect = false;

    float lastDt = 0.0f;
    float disableTimer = 0.0f;
    float disableWaitTimer = 0.0f;
    float flashTimer = 0.0f;
    float invulnerableTimer = 0.0f;
    int rechargeCounter = 0;
    bool dead = false;  // a death is pending for the next Update
    bool isPlayer = false;
    Material savedMaterial;  // the Model's own material while it flashes
    Material flashMaterial;
    Material impactMaterial;

private:
    // a and b: the objects of the hit, a the ship on a player hit.
    void ResolveHit(u32 a, u32 b, bool playerHit);
    // The Model gets this Health's flash material; `owner` keeps the Model's own.
    void Flash(u32 objectId, Health& owner);
    void PlayImpactSound(u32 objectId) const;
    // Turns the object's Model and SphereCollision (as found at Init) on or off.
    void SetPartsEnabled(bool enabled);

    u32 modelId_ = 0;   // the object's Model at Init; 0: none
    u32 sphereId_ = 0;  // the object's SphereCollision at Init; 0: none
};
