#include "game/combat/WeaponSpline.h"

#include <cmath>

#include "engine/GameObject.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "game/actors/Player.h"
#include "game/combat/Health.h"
#include "game/combat/Projectile.h"
#include "game/combat/Weapon.h"
#include "game/track/SplineCrawler.h"
#include "scene/ObjectFactory.h"
#include "scene/SceneManager.h"

namespace {
constexpr float kBaseCarrierVelocity = 1500.0f;
}  // namespace

void WeaponSpline::Reflect(MemberList<WeaponSpline>& members) {
    members.Add("maxRechargeTime", &WeaponSpline::maxRechargeTime);
    members.Add("archetype", &WeaponSpline::archetype);
    members.Add("fireSound", &WeaponSpline::fireSound);
    members.Add("initialVelocity", &WeaponSpline::initialVelocity);
    members.Add("initialAcceleration", &WeaponSpline::initialAcceleration);
    members.Add("spawnDistanceFromPlayer", &WeaponSpline::spawnDistanceFromPlayer);
    members.Add("bulletEnergyCost", &WeaponSpline::bulletEnergyCost);
}

float WeaponSpline::CarrierVelocity(float speed, float maxVelocity) {
    if (!(maxVelocity > 0.0f)) return kBaseCarrierVelocity;
    const float velocity = kBaseCarrierVelocity + kBaseCarrierVelocity * (speed / maxVelocity);
    return std::isfinite(velocity) && velocity > kBaseCarrierVelocity ? velocity : kBaseCarrierVelocity;
}

int WeaponSpline::BulletHitPoints(int maxHP, float speed, float divisor) {
    if (divisor == 0.0f) return maxHP;
    const float points = static_cast<float>(maxHP) + speed / divisor;
    // Outside the int range (or no number) the conversion is undefined.
    if (!(std::fabs(points) < 2.0e9f)) return maxHP;
    return static_cast<int>(points);
}

void WeaponSpline::Init() {
    rechargeTimer = maxRechargeTime;
    hasPlayer_ = false;
    playerObjectId_ = 0;
    Subscribe(kMsgFire);
    Subscribe(kMsgPlayerObject);
    Subscribe(kMsgSteerLeft);
    Subscribe(kMsgSteerRight);
    recharging = false;
    Post(kMsgSplineWeaponAnnounced, GetId(), GetId());
}

void WeaponSpline::HandleMessage(Message* message) {
    if (message->type == kMsgFire.type) {
        Fire();
    } else if (const u32* playerObject = message->Read(kMsgPlayerObject)) {
        playerObjectId_ = *playerObject;
        hasPlayer_ = true;
    }
}

void WeaponSpline::Update(float dt) {
    if (recharging) {
        if (rechargeTimer > maxRechargeTime) {
            rechargeTimer = 0.0f;
            recharging = false;
        } else if (std::isfinite(dt) && dt > 0.0f) {
            rechargeTimer += dt;
        }
    }
    if (Transform* transform = Overlord::FindComponent<Transform>(GetOwner())) transform->Update(0.0f);
}

void WeaponSpline::Fire() {
    // The ship, its Player and the crawler of the carrier it sits on.
    if (!hasPlayer_) return;
    Overlord* overlord = Overlord::Instance();
    const GameObject* ship = overlord ? overlord->GetGameObject(playerObjectId_) : nullptr;
    Player* player = ship ? ship->GetComponent<Player>() : nullptr;
    const SplineCrawler* shipCrawler = ship ? Overlord::FindComponent<SplineCrawler>(ship->GetParent()) : nullptr;
    if (!player || !shipCrawler) return;

    initialVelocity = CarrierVelocity(shipCrawler->currentSpeed, shipCrawler->maxVelocity);
    if (recharging || !IsEnabled()) return;
    const bool free = !(bulletEnergyCost > 0.0f);
    if (!(player->energy > 0.0f) && !free) return;

    const u32 bullet = MakeShotObject(archetype, reported_, "WeaponSpline", GetOwner());
    if (bullet == 0) return;
    player->energy -= bulletEnergyCost;
    Launch(bullet, playerObjectId_, *shipCrawler);

    recharging = true;
    Transform* transform = overlord->GetComponent<Transform>(GetOwner());
    if (transform) transform->Update(0.0f);
    Broadcast(kMsgShotEffect, GetOwner(), transform ? transform->worldPosition : D3DXVECTOR3(0.0f, 0.0f, 0.0f));
    PlayShotSound(fireSound, transform, GetId());
}

void WeaponSpline::Launch(u32 bulletId, u32 playerObjectId, const SplineCrawler& shipCrawler) {
    Overlord& overlord = Overlord::Get();
    ObjectFactory* factory = ObjectFactory::Instance();

    SplineCrawler* crawler = factory ? factory->Create<SplineCrawler>() : nullptr;
    if (!crawler) crawler = new SplineCrawler;
    crawler->splineGameObjectID = shipCrawler.splineGameObjectID;
    crawler->distance = shipCrawler.distance;
    crawler->lookAheadDistance = shipCrawler.lookAheadDistance;
    crawler->persistAcceleration += initialAcceleration;
    crawler->persistVelocity += initialVelocity;
    Transform* carrierTransform = factory ? factory->Create<Transform>() : nullptr;
    if (!carrierTransform) carrierTransform = new Transform;
    GameObject* carrier = factory ? factory->NewGameObject() : new GameObject;
    carrier->AddComponent(crawler);
    carrier->AddComponent(carrierTransform);
    carrier->Init();
    carrier->AnnounceComponents();
    // Made during play like the bullet: gone at the next scene clear.
    if (SceneManager* scene = SceneManager::Instance()) scene->AddPlayObject(carrier->GetId());

    const float speed = shipCrawler.currentSpeed;
    Health* health = overlord.GetComponent<Health>(bulletId);
    const Projectile* projectile = overlord.GetComponent<Projectile>(bulletId);
    if (health && projectile)
        health->currentHP = BulletHitPoints(health->maxHP, speed, projectile->playerVelocityDivideAmount);

    GameObject* bullet = overlord.GetGameObject(bulletId);
    Transform* bulletTransform = overlord.GetComponent<Transform>(bulletId);
    Transform* shipTransform = overlord.GetComponent<Transform>(playerObjectId);
    Transform* weaponTransform = overlord.GetComponent<Transform>(GetOwner());
    if (bulletTransform && shipTransform) {
        shipTransform->Update(0.0f);
        D3DXVECTOR3 offset(0.0f, 0.0f, 0.0f);
        if (weaponTransform) {
            weaponTransform->Update(0.0f);
            offset = weaponTransform->worldPosition - shipTransform->worldPosition;
        }
        bulletTransform->position = shipTransform->position + offset;
    }
    if (bullet) bullet->SetParent(carrier->GetId());
}

void WeaponSpline::DebugDraw() {
    DrawAimLine(Overlord::FindComponent<Transform>(GetOwner()), GetId());
}
