#include "game/combat/Health.h"

#include <algorithm>
#include <climits>

#include "engine/GameObject.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "game/combat/ShipState.h"
#include "game/level/MysteryBox.h"
#include "game/physics/Body.h"
#include "game/physics/CylinderCollision.h"
#include "game/physics/SphereCollision.h"
#include "platform/AudioSystem.h"
#include "platform/SoundEventData.h"
#include "render/mesh/Model.h"

namespace {

// Hit points take any value a level gives them: sums and differences stop at
// the ends of int instead of wrapping.
int SaturatedSum(int a, int b) {
    int out = 0;
    if (!__builtin_add_overflow(a, b, &out)) return out;
    return b > 0 ? INT_MAX : INT_MIN;
}

int SaturatedDifference(int a, int b) {
    int out = 0;
    if (!__builtin_sub_overflow(a, b, &out)) return out;
    return b < 0 ? INT_MAX : INT_MIN;
}

constexpr const char* kBulletArchetype = "Bullet";
constexpr float kImpactFlashTime = 0.07f;  // s the ship shows the impact glow

Health* HealthOf(u32 objectId) {
    return Overlord::FindComponent<Health>(objectId);
}

bool IsBullet(u32 objectId) {
    const GameObject* object = Overlord::Instance() ? Overlord::Instance()->GetGameObject(objectId) : nullptr;
    return object && object->GetArchetypeName() == kBulletArchetype;
}

// The velocity of the object's Body ("vel"), or zero without one.
D3DXVECTOR3 BodyVelocity(u32 objectId) {
    const Body* body = Overlord::FindComponent<Body>(objectId);
    return body ? body->vel : D3DXVECTOR3(0.0f, 0.0f, 0.0f);
}

// The collision group of the object's collider (its SphereCollision, else
// its CylinderCollision); false when it has neither.
bool ColliderGroup(u32 objectId, int& group) {
    if (const auto* sphere = Overlord::FindComponent<SphereCollision>(objectId)) {
        group = sphere->collisionGroup;
        return true;
    }
    if (const auto* cylinder = Overlord::FindComponent<CylinderCollision>(objectId)) {
        group = cylinder->collisionGroup;
        return true;
    }
    return false;
}

// The speed reward of the object's MysteryBox: (kMsgSpeedBonus or kMsgSetSpeed,
// value); false when the object has no box (most obstacles).
bool BoxSpeed(u32 objectId, bool& special, float& speed) {
    const MysteryBox* box = Overlord::FindComponent<MysteryBox>(objectId);
    if (!box) return false;
    special = box->enabledSpecialSpeedBonus;
    speed = special ? box->specialSpeedToGivePlayer : box->speedToGivePlayer;
    return true;
}

}  // namespace

void Health::Reflect(MemberList<Health>& members) {
    members.Add("maxHP", &Health::maxHP);
    members.Add("hpRechargeValue", &Health::hpRechargeValue);
    members.Add("rechargeWaitTime", &Health::rechargeWaitTime);
    members.Add("currentHP", &Health::currentHP);
    members.Add("invulnerableTime", &Health::invulnerableTime);
    members.Add("deathSound", &Health::deathSound);
    members.Add("impactSound", &Health::impactSound);
    members.Add("flashResetTime", &Health::flashResetTime);
    members.Add("hasDisablingBehavior", &Health::hasDisablingBehavior);
    members.Add("disableTime", &Health::disableTime);
    members.Add("disableWaitTime", &Health::disableWaitTime);
    members.Add("shieldCancelEffect", &Health::shieldCancelEffect);
}

void Health::Init() {
    disableTimer = disableWaitTimer = lastDt = 0.0f;
    Overlord* overlord = Overlord::Instance();
    const Model* model = overlord ? overlord->GetComponent<Model>(GetOwner()) : nullptr;
    const SphereCollision* sphere = overlord ? overlord->GetComponent<SphereCollision>(GetOwner()) : nullptr;
    modelId_ = model ? model->GetId() : 0;
    sphereId_ = sphere ? sphere->GetId() : 0;
    if (model) savedMaterial = model->material;
    flashMaterial = Material();
    flashMaterial.diffuseFileName = "FLASH_red";
    Material::ResolveTextures(flashMaterial, Material(flashMaterial));
    impactMaterial = Material();
    impactMaterial.glowFileName = "NEW_playership_impact.glow";
    Material::ResolveTextures(impactMaterial, Material(impactMaterial));
    flashTimer = 0.0f;
    dead = false;
    invulnerableTimer = 0.0f;
    isPlayer = ShipState::FindPlayer(GetOwner()) != nullptr;
    rechargeCounter = 0;
    Subscribe(kMsgCollision);
    currentHP = maxHP;
}

void Health::SetPartsEnabled(bool enabled) {
    Overlord* overlord = Overlord::Instance();
    if (!overlord) return;
    for (u32 id : {modelId_, sphereId_})
        if (IComponent* part = overlord->GetComponentById(id)) part->SetEnabled(enabled);
}

void Health::Update(float dt) {
    if (disableTimer != 0.0f) {
        if (disableTime <= disableTimer) {
            SetPartsEnabled(true);
            disableTimer = 0.0f;
            disableWaitTimer += dt;
        } else {
            SetPartsEnabled(false);
            disableTimer += dt;
        }
    }
    if (disableWaitTimer != 0.0f) {
        if (disableWaitTime <= disableWaitTimer)
            disableWaitTimer = 0.0f;
        else
            disableWaitTimer += dt;
    }
    lastDt = dt;
    if (flashTimer != 0.0f) {
        flashTimer -= dt;
        if (flashTimer <= 0.0f) {
            flashTimer = 0.0f;
            Overlord* overlord = Overlord::Instance();
            if (auto* model = overlord ? overlord->GetComponentById<Model>(modelId_) : nullptr)
                Material::ResolveTextures(model->material, savedMaterial);
        }
    }
    if (maxHP > 0 && currentHP <= 0) dead = true;
    if (dead) {
        currentHP = 0;
        Die();
        if (!isPlayer) return;  // the object is gone
        dead = false;
    }
    if (invulnerableTimer > 0.0f) invulnerableTimer -= dt;
    if (isPlayer && currentHP < maxHP) {
        ++rechargeCounter;
        if (rechargeCounter >= rechargeWaitTime) {
            if (currentHP > 0)
                currentHP = hpRechargeValue == -1 ? maxHP : std::min(SaturatedSum(currentHP, hpRechargeValue), maxHP);
            rechargeCounter = 0;
        }
    }
}

void Health::HandleMessage(Message* message) {
    if (message->type != kMsgCollision.type) return;
    if (invulnerableTimer > 0.0f) return;
    const u32 self = GetOwner(), other = message->sender;
    if (ShipState::FindPlayer(self))
        ResolveHit(self, other, true);
    else if (ShipState::FindPlayer(other))
        ResolveHit(other, self, true);
    else
        ResolveHit(self, other, false);
    invulnerableTimer = invulnerableTime;
}

void Health::Flash(u32 objectId, Health& owner) {
    Model* model = Overlord::FindComponent<Model>(objectId);
    if (!model) return;
    if (model->material.diffuseFileName != flashMaterial.diffuseFileName) owner.savedMaterial = model->material;
    model->material = flashMaterial;
    owner.flashTimer = flashResetTime;
}

void Health::ResolveHit(u32 a, u32 b, bool playerHit) {
    Health* hA = HealthOf(a);
    Health* hB = HealthOf(b);
    if (!hA || !hB) return;

    if (IsBullet(a) || IsBullet(b)) {
        if (hA->hasDisablingBehavior) {
            if (hA->disableWaitTimer == 0.0f) hA->disableTimer += lastDt;
        } else if (hB->hasDisablingBehavior) {
            if (hB->disableWaitTimer == 0.0f) hB->disableTimer += lastDt;
        } else {
            Flash(a, *hA);
            Flash(b, *hB);
        }
    }

    const int hpA = hA->currentHP, hpB = hB->currentHP;
    hA->currentHP = SaturatedDifference(hpA, hpB);
    hB->currentHP = SaturatedDifference(hpB, hpA);

    if (playerHit) {
        int group = 0;
        if (!ColliderGroup(b, group)) return;
        const IComponent* player = ShipState::FindPlayer(a);
        const ShipState ship = player ? ShipState::Of(*player) : ShipState{};
        bool special = false;
        float speed = 0.0f;
        const bool hasBox = BoxSpeed(b, special, speed);
        auto sendSpeed = [&] {
            if (special)
                Broadcast(kMsgSetSpeed, GetId(), speed);
            else
                Broadcast(kMsgSpeedBonus, GetId(), speed);
        };
        if (!ship.shielding) {
            if (group == 2) {
                if (Model* model = Overlord::FindComponent<Model>(a)) {
                    model->material = impactMaterial;
                    hA->flashTimer = kImpactFlashTime;
                }
            }
            if (hasBox) sendSpeed();
        } else if (!shieldCancelEffect && !ship.abilitiesDisabled) {
            if (hasBox && speed > 0.0f) sendSpeed();
            if (group == 2) Post(kMsgEnergyChange, GetId(), -static_cast<float>(hpB));
            hA->currentHP = SaturatedSum(hA->currentHP, hpB);
        }
        hA->currentHP = std::min(hA->currentHP, hA->maxHP);
        SendToObject(kMsgPlayerCollided, b, b);
    }

    PlayImpactSound(a);
    PlayImpactSound(b);
    if (!shieldCancelEffect) {
        if (playerHit && hB->currentHP > hA->currentHP) hB->dead = true;
        if (hB->maxHP <= 0)
            hB->Die();
        else if (hA->maxHP <= 0)
            hA->dead = true;
    } else {
        const u32 loser = hB->shieldCancelEffect ? b : a;
        if (auto* sphere = Overlord::FindComponent<SphereCollision>(loser)) sphere->SetEnabled(false);
    }
}

void Health::PlayImpactSound(u32 objectId) const {
    if (impactSound.empty()) return;
    const Transform* transform = Overlord::FindComponent<Transform>(objectId);
    if (!transform) return;
    SoundEventData sound;
    sound.name = impactSound;
    sound.position = transform->worldPosition;
    sound.velocity = BodyVelocity(objectId);
    sound.volume = 0.1f;
    PostToSystem(kMsgPlaySound, TypeId<AudioSystem>::Get(), GetId(), sound);
}

void Health::Die() {
    const u32 self = GetOwner();
    const Transform* transform = Overlord::FindComponent<Transform>(self);
    // The sound is made while the object can still be looked up (its Body).
    SoundEventData sound;
    const bool withSound = !deathSound.empty() && transform;
    if (withSound) {
        sound.name = deathSound;
        sound.position = transform->worldPosition;
        sound.velocity = BodyVelocity(self);
        sound.volume = 0.7f;
    }
    if (isPlayer) {
        SendToObject(kMsgShipDied, self, GetId());
    } else {
        // Without a Transform there is no place for the effect, but the
        // object still leaves the game.
        const D3DXVECTOR3 at = transform ? transform->worldPosition : D3DXVECTOR3(0.0f, 0.0f, 0.0f);
        SendToObject(kMsgObjectDied, self, self);
        SendToObject(kMsgEnergyReward, self, self);
        if (transform) SendToObject(kMsgEffectAtPosition, self, self, at);
        if (Overlord* overlord = Overlord::Instance()) overlord->UnregisterGameObject(self);
    }
    if (withSound) PostToSystem(kMsgPlaySound, TypeId<AudioSystem>::Get(), GetId(), sound);
}
