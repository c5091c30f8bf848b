// Test support for weapons and projectiles: the track world plus recording
// stand-ins for the AudioSystem and for whoever counts announced bullets,
// the prototypes the weapons clone, a "Bullet" archetype and shooters.
#pragma once
#include <string>

#include "TrackWorld.h"
#include "engine/Ray.h"
#include "game/combat/Projectile.h"
#include "game/combat/ProjectilePatternManager.h"
#include "game/combat/Weapon.h"
#include "game/physics/Body.h"
#include "platform/AudioSystem.h"

class WeaponWorld : public TrackWorld {
protected:
    WeaponWorld() {
        factory.RegisterComponentPrototype<SplineCrawler>("SplineCrawler", new SplineCrawler);
        engine->AddSystem(audio);
        engine->AddSystem(bullets);
        bullets->Subscribe(ComponentAnnounced(TypeId<ProjectilePatternManager>::Get()));
    }

    // A prototype object stored as archetype `name`: a Transform, a Body, a
    // Projectile and a manager driving `pattern`; `body` false leaves the
    // Body out.
    GameObject* AddBulletArchetype(const std::string& name, const std::string& pattern = "Normal",
                                   float bulletVelocity = 50.0f, bool body = true) {
        GameObject* prototype = factory.NewGameObject();
        prototype->SetArchetypeName(name);
        prototype->AddComponent(new Transform);
        if (body) prototype->AddComponent(new Body);
        auto* projectile = new Projectile;
        projectile->bulletVelocity = bulletVelocity;
        prototype->AddComponent(projectile);
        auto* manager = new ProjectilePatternManager;
        manager->patternToUse = pattern;
        prototype->AddComponent(manager);
        factory.AddArchetypeByName(prototype);
        return prototype;
    }

    // An initialised shooter at position with rotation, carrying `weapon`.
    u32 MakeShooter(IComponent* weapon, const D3DXVECTOR3& position = {},
                    const D3DXQUATERNION& rotation = {0, 0, 0, 1}) {
        GameObject* object = factory.NewGameObject();
        auto* transform = new Transform;
        transform->position = position;
        transform->rotation = rotation;
        object->AddComponent(transform);
        if (weapon) object->AddComponent(weapon);
        object->Init();
        object->AnnounceComponents();
        return object->GetId();
    }

    // A fire request to the object, as the fire control sends it.
    void FireAt(u32 objectId, const Ray& ray) { SendToObject(kMsgFire, objectId, 0, ray); }

    // Objects of the bullets announced so far, in order.
    std::vector<u32> BulletObjects() const {
        std::vector<u32> ids;
        for (const Delivery& d : bullets->seen) ids.push_back(d.sender);
        return ids;
    }

    RecordingSystem* audio = new RecordingSystem(TypeId<AudioSystem>::Get());
    RecordingSystem* bullets = new RecordingSystem(TypeId<WeaponWorld>::Get());
};
