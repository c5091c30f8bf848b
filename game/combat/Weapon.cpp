#include "game/combat/Weapon.h"

#include <cmath>

#include "engine/DebugLine.h"
#include "engine/GameObject.h"
#include "engine/Logger.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Ray.h"
#include "engine/Transform.h"
#include "game/combat/Projectile.h"
#include "game/combat/ProjectilePatternManager.h"
#include "game/level/SpawnBudget.h"
#include "platform/AudioSystem.h"
#include "platform/SoundEventData.h"
#include "render/IGraphics.h"
#include "scene/ObjectFactory.h"

namespace {

constexpr float kAimDistance = 250.0f;  // ray lengths to the aimed point
constexpr float kAimLineLength = 10000.0f;

bool Finite(const D3DXVECTOR3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

D3DXVECTOR3 Facing(Transform* transform) {
    return transform ? transform->GetForward() : D3DXVECTOR3(0.0f, 0.0f, 1.0f);
}

D3DXVECTOR3 Position(Transform* transform) {
    return transform ? transform->worldPosition : D3DXVECTOR3(0.0f, 0.0f, 0.0f);
}

}  // namespace

u32 MakeShotObject(const std::string& archetype, std::set<std::string>& reported, const char* who, u32 ownerId) {
    if (reported.count(archetype)) return 0;
    if (!SpawnBudget::Take(who, ownerId)) return 0;
    ObjectFactory* factory = ObjectFactory::Instance();
    const u32 id = factory ? factory->Instantiate(archetype, false) : 0;
    SpawnBudget::Made(id);
    if (id == 0) {
        reported.insert(archetype);
        Log("%s on object %u: archetype \"%.64s\" cannot be had; its shots are left out", who, ownerId,
            archetype.c_str());
    }
    return id;
}

void DrawAimLine(Transform* transform, u32 senderId) {
    if (transform) transform->Update(0.0f);
    D3DXVECTOR3 direction;
    const D3DXVECTOR3 facing = Facing(transform);
    D3DXVec3Normalize(&direction, &facing);
    const D3DXVECTOR3 start = Position(transform);
    const DebugLine line{start, start + kAimLineLength * direction, {0.9f, 0.3f, 0.3f, 1.0f}};
    PostToSystem(kMsgDebugLineA, TypeId<GraphicsSystem>::Get(), senderId, line);
}

void PlayShotSound(const std::string& sound, Transform* transform, u32 senderId) {
    const D3DXVECTOR3 facing = Facing(transform);
    const SoundEventData data{sound, Position(transform), facing, 1.0f, false, 0};
    PostToSystem(kMsgPlaySound, TypeId<AudioSystem>::Get(), senderId, data);
}

void Weapon::Reflect(MemberList<Weapon>& members) {
    members.Add("maxRechargeTime", &Weapon::maxRechargeTime);
    members.Add("projectileArchetypes", &Weapon::projectileArchetypes);
    members.Add("fireSound", &Weapon::fireSound);
}

void Weapon::Init() {
    rechargeTimer = maxRechargeTime;
    Subscribe(kMsgFire);
    recharging = false;
}

void Weapon::HandleMessage(Message* message) {
    if (message->type != kMsgFire.type) return;
    if (const Ray* ray = message->Read(Kind<Ray>{kMsgFire.type, message->argument})) Fire(*ray);
}

void Weapon::Update(float dt) {
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

void Weapon::Fire(const Ray& ray) {
    if (recharging) return;
    Transform* transform = Overlord::FindComponent<Transform>(GetOwner());
    if (transform) {
        transform->Update(0.0f);
        const D3DXVECTOR3 target = ray.origin + kAimDistance * ray.direction;
        const D3DXVECTOR3 along = target - transform->worldPosition;
        // No direction to turn to: a zero ray, or one at the weapon itself.
        if (Finite(target) && Finite(along) && D3DXVec3LengthSq(&along) > 0.0f)
            transform->SetWorldRotation(LookRotation(transform->worldPosition, target));
    }
    for (const std::string& name : projectileArchetypes) {
        const u32 shot = MakeShotObject(name, reported_, "Weapon", GetOwner());
        if (shot == 0) continue;
        ProjectilePatternManager* manager = Overlord::FindComponent<ProjectilePatternManager>(shot);
        if (!manager || !Overlord::FindComponent<Projectile>(shot)) {
            // It could not fly: it would stay where its archetype puts it.
            Overlord::Get().UnregisterGameObject(shot);
            reported_.insert(name);
            Log("Weapon on object %u: archetype \"%.64s\" has no Projectile or no ProjectilePatternManager; its "
                "shots are left out",
                GetOwner(), name.c_str());
            continue;
        }
        manager->Launch(GetOwner());
    }
    recharging = true;
    if (transform) transform->Update(0.0f);
    Broadcast(kMsgShotEffect, GetOwner(), Position(transform));
    PlayShotSound(fireSound, transform, GetId());
}

void Weapon::DebugDraw() {
    DrawAimLine(Overlord::FindComponent<Transform>(GetOwner()), GetId());
}
