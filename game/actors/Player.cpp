#include "game/actors/Player.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "engine/GameObject.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "game/actors/EulerToQuaternion.h"
#include "game/combat/Health.h"
#include "game/combat/ShipState.h"
#include "game/track/SplineCrawler.h"
#include "platform/AudioSystem.h"
#include "platform/LoopedSound.h"
#include "platform/SoundEventData.h"
#include "render/IGraphics.h"
#include "render/mesh/Model.h"
#include "render/particle/ParticleEmmiter.h"

class CollisionSystem;
class GameLogic;
class SphereCollision;

namespace {

constexpr float kDegreesToRadians = 3.14159265358979f / 180.0f;
constexpr float kAngularAcceleration = 550.0f;  // degrees/s^2 while a steering key is held
constexpr float kStallTime = 3.0f;              // simulated s before a slow ship dies (dieAtPersistVel)
constexpr float kPlainStartAcceleration = 100.0f;

template <class T>
T* ComponentById(u32 componentId) {
    Overlord* overlord = Overlord::Instance();
    return (overlord && componentId != 0) ? overlord->GetComponentById<T>(componentId) : nullptr;
}

IComponent* AnyComponentById(u32 componentId) {
    Overlord* overlord = Overlord::Instance();
    return (overlord && componentId != 0) ? overlord->GetComponentById(componentId) : nullptr;
}

u32 SiblingId(u32 objectId, u32 typeId) {
    Overlord* overlord = Overlord::Instance();
    return overlord ? overlord->GetComponentId(objectId, typeId) : 0;
}

// What the ship's Health reads of its Player.
ShipState ReadShipState(const IComponent& component) {
    const auto& player = static_cast<const Player&>(component);
    return ShipState{player.shielding, player.abilitiesDisabled};
}

}  // namespace

Player::Player() {
    static const bool installed = (ShipState::Install(TypeId<Player>::Get(), &ReadShipState), true);
    (void)installed;
}

void Player::Reflect(MemberList<Player>& members) {
    members.Add("pointsLostOnDeath", &Player::pointsLostOnDeath);
    members.Add("pointsLostOnCollision", &Player::pointsLostOnCollision);
    members.Add("circleRadius", &Player::circleRadius);
    members.Add("initAngleInc", &Player::initAngleInc);
    members.Add("minAngleInc", &Player::minAngleInc);
    members.Add("numOfLives", &Player::numOfLives);
    members.Add("deathAcceleration", &Player::deathAcceleration);
    members.Add("invisTime", &Player::invisTime);
    members.Add("blinkTime", &Player::blinkTime);
    members.Add("blinkStep", &Player::blinkStep);
    members.Add("energyTankCapacity", &Player::energyTankCapacity);
    members.Add("boostInitCost", &Player::boostInitCost);
    members.Add("boostAmount", &Player::boostAmount);
    members.Add("energyRechargeWaitTime", &Player::energyRechargeWaitTime);
    members.Add("boostEnergyDrainWaitTime", &Player::boostEnergyDrainWaitTime);
    members.Add("boostSound", &Player::boostSound);
    members.Add("energyTankRechargeAmt", &Player::energyTankRechargeAmt);
    members.Add("boostingCost", &Player::boostingCost);
    members.Add("shieldingCost", &Player::shieldingCost);
    members.Add("shieldEnergyDrainWaitTime", &Player::shieldEnergyDrainWaitTime);
    members.Add("shieldSound", &Player::shieldSound);
    members.Add("emptySound", &Player::emptySound);
    members.Add("abilitiesDisabledWaitTime", &Player::abilitiesDisabledWaitTime);
    members.Add("startingBoost", &Player::startingBoost);
    members.Add("disablePlayerShield", &Player::disablePlayerShield);
    members.Add("disablePlayerWeapon", &Player::disablePlayerWeapon);
    members.Add("disablePlayerBoost", &Player::disablePlayerBoost);
    members.Add("dieAtPersistVel", &Player::dieAtPersistVel);
}

SplineCrawler* Player::GetCrawler() const {
    return ComponentById<SplineCrawler>(crawlerId_);
}

u32 Player::ParentObjectId() const {
    Overlord* overlord = Overlord::Instance();
    const GameObject* object = overlord ? overlord->GetGameObject(GetOwner()) : nullptr;
    return object ? object->GetParent() : 0;
}

void Player::Init() {
    steering = steerLeft = releasePending = settling = false;
    maxAngularSpeed = angularSpeed = lastDt = 0.0f;
    energyRechargeTimer = boostDrainTimer = shieldDrainTimer = abilitiesDisabledTimer = 0.0f;
    energyEmpty = shielding = abilitiesDisabled = rechargeBlocked = false;
    goReceived = started = false;
    stallTimer = deathTimer = blinkTimer = 0.0f;
    const SplineCrawler* crawler = GetCrawler();
    stallClock_ = crawler ? crawler->elapsed : 0.0f;
    energy = energyTankCapacity;
    cameraObjectId_ = cameraTransformId_ = 0;

    const u32 owner = GetOwner();
    transformId_ = SiblingId(owner, TypeId<Transform>::Get());
    healthId_ = SiblingId(owner, TypeId<Health>::Get());
    modelId_ = SiblingId(owner, TypeId<Model>::Get());
    sphereId_ = SiblingId(owner, TypeId<SphereCollision>::Get());
    trailId_ = SiblingId(owner, TypeId<ParticleEmmiter>::Get());
    humId_ = SiblingId(owner, TypeId<LoopedSound>::Get());

    circleAngle = 270.0f;
    rollAngle = 0.0f;
    // The point of the circle at 270 degrees, in the carrier's frame, as
    // MoveOnCircle places it. (Through SetPositionAndUpdate this would be a
    // world position once the ship has a parent: a carrier away from the
    // origin would leave the ship off its circle until the first turn. A
    // scene load parents the ship only after Init, where the two agree.)
    if (Transform* transform = ComponentById<Transform>(transformId_)) {
        transform->position = D3DXVECTOR3(0.0f, -circleRadius, 0.0f);
        transform->Update(0.0f);
    }

    PostToSystem(kMsgChaseTarget, TypeId<GraphicsSystem>::Get(), GetId(), owner);
    Broadcast(kMsgFocusObject, 0, owner);
    PostToSystem(kMsgFocusObject, TypeId<CollisionSystem>::Get(), 0, owner);
    Broadcast(kMsgShieldDisabled, GetId(), disablePlayerShield);
    Broadcast(kMsgWeaponDisabled, GetId(), disablePlayerWeapon);
    Broadcast(kMsgBoostDisabled, GetId(), disablePlayerBoost);

    Subscribe(kMsgSteerLeft);
    Subscribe(kMsgGameCameraObject);
    Subscribe(kMsgSteerRight);
    Subscribe(kMsgPoints);
    Subscribe(kMsgCrawlerAnnounced);
    Subscribe(kMsgBoostPressed);
    Subscribe(kMsgClientRect);
    Subscribe(kMsgSplineWeaponAnnounced);
    Subscribe(kMsgBoostHeld);
    Subscribe(kMsgBoostReleased);
    Subscribe(kMsgRechargeBlocked);
    Subscribe(kMsgRechargeUnblocked);
    Subscribe(kMsgShieldOn);
    Subscribe(kMsgShieldOff);
    Subscribe(kMsgEnergyChange);
    Subscribe(kMsgSteerStop);
    Subscribe(kMsgCountdownOver);
}

void Player::Shutdown() {
    for (const auto& kind : {kMsgSteerLeft, kMsgSteerRight, kMsgSteerStop, kMsgBoostPressed, kMsgBoostHeld,
                             kMsgBoostReleased, kMsgShieldOn, kMsgShieldOff, kMsgRechargeBlocked, kMsgRechargeUnblocked,
                             kMsgGameCameraObject, kMsgCrawlerAnnounced, kMsgSplineWeaponAnnounced})
        Unsubscribe(kind);
    Unsubscribe(kMsgPoints);
    Unsubscribe(kMsgClientRect);
    Unsubscribe(kMsgEnergyChange);
    Unsubscribe(kMsgCountdownOver);
}

void Player::HandleMessage(Message* message) {
    if (paused) return;
    SplineCrawler* crawler = GetCrawler();
    if (const ClientRect* rect = message->Read(kMsgClientRect)) {
        clientRect = *rect;
    } else if (message->Is(kMsgSteerLeft)) {
        Steer(true);
    } else if (message->Is(kMsgSteerRight)) {
        Steer(false);
    } else if (message->Is(kMsgSteerStop)) {
        releasePending = true;
        steering = false;
    } else if (message->Is(kMsgBoostPressed)) {
        if (energy >= boostInitCost) StartBoost();
    } else if (message->Is(kMsgBoostHeld)) {
        if (energyEmpty || abilitiesDisabled) return;
        if (crawler && crawler->boosting)
            crawler->boostAccelerating = true;
        else if (energy >= boostInitCost)
            StartBoost();
    } else if (message->Is(kMsgBoostReleased)) {
        if (crawler) crawler->boostAccelerating = false;
        SetTrailEnabled(false);
    } else if (message->Is(kMsgShieldOn)) {
        if (energyEmpty || abilitiesDisabled || shielding) return;
        PlaySound(shieldSound, 1.8f);
        if (LoopedSound* hum = ComponentById<LoopedSound>(humId_)) hum->Play();
        shielding = true;
    } else if (message->Is(kMsgShieldOff)) {
        if (!shielding) return;
        PlaySound(shieldSound, 1.5f);
        StopShieldHum();
        shielding = false;
    } else if (message->Is(kMsgRechargeBlocked)) {
        rechargeBlocked = true;
    } else if (message->Is(kMsgRechargeUnblocked)) {
        rechargeBlocked = false;
    } else if (const float* change = message->Read(kMsgEnergyChange)) {
        if (std::isfinite(*change)) energy = std::clamp(energy + *change, 0.0f, energyTankCapacity);
    } else if (const i32* gained = message->Read(kMsgPoints)) {
        const long long sum = static_cast<long long>(points) + *gained;
        points = static_cast<int>(std::clamp<long long>(sum, 0, 0x7FFFFFFF));
    } else if (message->Is(kMsgCountdownOver)) {
        goReceived = true;
    } else if (const u32* object = message->Read(kMsgCrawlerAnnounced)) {
        // Other objects' crawlers are announced alike: the ship's own is the
        // one that carries it, on its parent.
        if (crawlerId_ == 0 && *object != 0 && *object == ParentObjectId()) {
            crawlerObjectId_ = *object;
            crawlerId_ = SiblingId(*object, TypeId<SplineCrawler>::Get());
            if (crawlerId_ == 0) crawlerObjectId_ = 0;
        }
    } else if (const u32* weapon = message->Read(kMsgSplineWeaponAnnounced)) {
        weaponId_ = *weapon;
    } else if (const u32* camera = message->Read(kMsgGameCameraObject)) {
        cameraObjectId_ = *camera;
        cameraTransformId_ = SiblingId(*camera, TypeId<Transform>::Get());
    } else if (message->Is(kMsgShipDied)) {
        Death();
    }
}

void Player::Steer(bool left) {
    steerLeft = left;
    steering = true;
    const SplineCrawler* crawler = GetCrawler();
    // Without a crawler, or with no usable top speed, the lowest turning speed.
    const float v = crawler ? crawler->currentSpeed : 0.0f;
    const float top = crawler ? crawler->maxVelocity : 0.0f;
    maxAngularSpeed = (top > 0.0f && std::isfinite(v)) ? 2.0f * initAngleInc * v / top : 0.0f;
    if (static_cast<float>(minAngleInc) > maxAngularSpeed || !std::isfinite(maxAngularSpeed))
        maxAngularSpeed = static_cast<float>(minAngleInc);
}

void Player::MoveOnCircle() {
    if (paused || Invisible()) return;
    const float step = lastDt * angularSpeed;
    if (steerLeft) {
        circleAngle -= step;
        rollAngle -= step;
    } else {
        circleAngle += step;
        rollAngle += step;
    }
    if (Transform* transform = ComponentById<Transform>(transformId_)) {
        const float radians = circleAngle * kDegreesToRadians;
        transform->position = D3DXVECTOR3(circleRadius * std::cos(radians), circleRadius * std::sin(radians), 0.0f);
        transform->rotation = EulerToQuaternion(0.0f, rollAngle, 0.0f);
    }
}

void Player::UpdateSteering(float dt) {
    if (settling) {
        if (steering) {
            releasePending = settling = false;
        } else {
            angularSpeed = 0.0f;
            steering = releasePending = settling = false;
        }
    } else if (!steering) {
        releasePending = settling = true;
    } else if (releasePending) {
        settling = true;
    } else {
        MoveOnCircle();
        if (maxAngularSpeed > angularSpeed) angularSpeed += kAngularAcceleration * dt;
    }
}

void Player::UpdateStart() {
    SplineCrawler* crawler = GetCrawler();
    if (!crawler || started) return;
    if (!goReceived) {
        crawler->frozen = true;
        abilitiesDisabled = true;
        return;
    }
    abilitiesDisabled = false;
    crawler->frozen = false;
    crawler->persistVelocity = crawler->persistAcceleration = 0.0f;
    crawler->accelerationOffset = crawler->velocityOffset = 0.0f;
    if (startingBoost == 0.0f) {
        crawler->persistAcceleration = kPlainStartAcceleration;
        crawler->slowed = true;
        crawler->boosting = false;
        crawler->bonusTimer = 0.0f;
        crawler->boostAccelerating = false;
    } else {
        Broadcast(kMsgSpeedBonus, GetId(), startingBoost);
    }
    started = true;
}

void Player::Update(float dt) {
    lastDt = dt;
    UpdateSteering(dt);

    SplineCrawler* crawler = GetCrawler();
    // The stall period is counted on the crawler's own clock, the physics
    // steps that moved it: on a slow machine the world runs in slow motion,
    // and the ship gets the same simulated time to gather speed as at 60
    // frames a second. A dead ship and a held crawler do not stall: the test
    // waits for the ship to be back (the timer restarts then).
    const float stepped = crawler ? std::max(crawler->elapsed - stallClock_, 0.0f) : 0.0f;
    if (crawler) stallClock_ = crawler->elapsed;
    if (dieAtPersistVel && crawler && started && IsEnabled() && !crawler->frozen) {
        stallTimer += stepped;
        if (crawler->currentSpeed <= crawler->initialVelocity && stallTimer >= kStallTime)
            if (Health* health = ComponentById<Health>(healthId_)) health->dead = true;
    }
    UpdateStart();
    if (paused) return;

    if (energy > 0.0f) energyEmpty = false;
    if (abilitiesDisabled) {
        if (abilitiesDisabledTimer >= abilitiesDisabledWaitTime) {
            abilitiesDisabledTimer = 0.0f;
            abilitiesDisabled = false;
        }
        abilitiesDisabledTimer += dt;
    }
    UpdateEnergy(dt);

    if (Transform* camera = ComponentById<Transform>(cameraTransformId_)) camera->Update(0.0f);
    if (Transform* transform = ComponentById<Transform>(transformId_)) transform->Update(0.0f);

    if (!IsEnabled()) UpdateDeathSequence(dt);
}

void Player::UpdateEnergy(float dt) {
    SplineCrawler* crawler = GetCrawler();
    const bool boost = crawler && crawler->boostAccelerating;
    if ((!boost && !shielding) || abilitiesDisabled) {
        Recharge();
    } else if (energy > 0.0f) {
        float cost = 0.0f;
        if (boost && crawler->boosting) {
            boostDrainTimer += dt;
            if (boostDrainTimer >= boostEnergyDrainWaitTime) {
                boostDrainTimer = 0.0f;
                cost = boostingCost;
            }
        }
        if (shielding) {
            shieldDrainTimer += dt;
            if (shieldDrainTimer >= shieldEnergyDrainWaitTime) {
                shieldDrainTimer = 0.0f;
                cost = shieldingCost;
            }
        }
        energy = std::max(energy - cost, 0.0f);
    } else {
        TankEmpty();
    }
}

void Player::Recharge() {
    if (energy >= energyTankCapacity || rechargeBlocked) return;
    energyRechargeTimer += lastDt;
    if (energyRechargeTimer >= energyRechargeWaitTime) {
        energyRechargeTimer = 0.0f;
        energy = std::min(energy + energyTankRechargeAmt, energyTankCapacity);
    }
}

void Player::TankEmpty() {
    abilitiesDisabledTimer = 0.0f;
    energyEmpty = true;
    shielding = false;
    abilitiesDisabled = true;
    if (SplineCrawler* crawler = GetCrawler()) crawler->boostAccelerating = crawler->boosting = false;
    PlaySound(emptySound, 1.0f);
    StopShieldHum();
}

void Player::StartBoost() {
    energy -= boostInitCost;
    if (SplineCrawler* crawler = GetCrawler()) {
        crawler->boosting = true;
        crawler->slowed = false;
        crawler->boostSpeed = crawler->persistVelocity + boostAmount;
        crawler->persistAcceleration = 0.0f;
    }
    Broadcast(kMsgSpeedBonus, GetId(), boostAmount);
    if (Transform* transform = ComponentById<Transform>(transformId_)) transform->Update(0.0f);
    PlaySound(boostSound, 1.8f);
    SetTrailEnabled(true);
}

void Player::Death() {
    if (numOfLives > 0) {
        if (Health* health = ComponentById<Health>(healthId_)) health->currentHP = health->maxHP;
        if (SplineCrawler* crawler = GetCrawler()) {
            crawler->persistVelocity = crawler->persistAcceleration = 0.0f;
            crawler->accelerationOffset = crawler->velocityOffset = 0.0f;
            crawler->slowed = crawler->frozen = true;
        }
        energy = 0.0f;
    } else {
        // GameLogic takes the results before this death's penalty.
        SendToSystem(kMsgGameOver, TypeId<GameLogic>::Get(), GetId());
    }
    // Saturated: a level may give any value to either.
    const long long penalised = static_cast<long long>(points) - pointsLostOnDeath;
    points = points >= pointsLostOnDeath ? static_cast<int>(std::min<long long>(penalised, INT_MAX)) : 0;
    if (numOfLives != INT_MIN) numOfLives -= 1;
    SendToObject(kMsgEffectAtPosition, GetOwner(), GetId(), WorldPosition());
    SetEnabled(false);
}

void Player::UpdateDeathSequence(float dt) {
    deathTimer += dt;
    SplineCrawler* crawler = GetCrawler();
    if (deathTimer > invisTime + blinkTime) {
        SetEnabled(true);
        deathTimer = 0.0f;
        blinkStartDone = false;
        stallTimer = 0.0f;
        if (crawler) crawler->frozen = false;
    } else if (deathTimer > invisTime) {
        if (!blinkStartDone && crawler) {
            crawler->frozen = false;
            crawler->persistAcceleration = deathAcceleration;
            crawler->slowed = true;
            crawler->boosting = false;
            crawler->bonusTimer = 0.0f;
            crawler->boostAccelerating = false;
        }
        blinkTimer += dt;
        if (blinkTimer > blinkStep) {
            blinkTimer = 0.0f;
            if (Model* model = ComponentById<Model>(modelId_)) {
                model->SetEnabled(!model->IsEnabled());
                if (crawler && crawler->boostAccelerating) SetTrailEnabled(!model->IsEnabled());
            }
        }
    }
}

void Player::OnEnable() {
    blinkStartDone = true;
    SetComponentEnabled(modelId_, true);
    SetComponentEnabled(sphereId_, true);
    SetComponentEnabled(weaponId_, true);
}

void Player::OnDisable() {
    deathTimer = 0.0f;
    blinkTimer = 0.0f;
    SetComponentEnabled(modelId_, false);
    SetComponentEnabled(sphereId_, false);
    SetComponentEnabled(weaponId_, false);
    SetTrailEnabled(false);
    StopShieldHum();
}

void Player::SetComponentEnabled(u32 componentId, bool enabled) {
    if (IComponent* component = AnyComponentById(componentId)) component->SetEnabled(enabled);
}

void Player::SetTrailEnabled(bool enabled) const {
    SetComponentEnabled(trailId_, enabled);
}

void Player::StopShieldHum() const {
    LoopedSound* hum = ComponentById<LoopedSound>(humId_);
    if (hum && hum->IsPlaying()) hum->StopChannel();
}

D3DXVECTOR3 Player::WorldPosition() const {
    const Transform* transform = ComponentById<Transform>(transformId_);
    return transform ? transform->worldPosition : D3DXVECTOR3(0.0f, 0.0f, 0.0f);
}

void Player::PlaySound(const std::string& name, float volume) const {
    if (name.empty()) return;
    SoundEventData data;
    data.name = name;
    data.volume = volume;
    if (Transform* transform = ComponentById<Transform>(transformId_)) {
        data.position = transform->worldPosition;
        data.velocity = transform->GetForward();
    }
    PostToSystem(kMsgPlaySound, TypeId<AudioSystem>::Get(), GetId(), data);
}
