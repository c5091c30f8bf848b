#include "game/GameClasses.h"

#include "game/actors/Brain.h"
#include "game/actors/HackComponent.h"
#include "game/actors/Lifetime.h"
#include "game/actors/Movement.h"
#include "game/actors/Player.h"
#include "game/actors/Sataleye.h"
#include "game/combat/Damage.h"
#include "game/combat/Health.h"
#include "game/combat/Projectile.h"
#include "game/combat/ProjectilePatternManager.h"
#include "game/combat/Weapon.h"
#include "game/combat/WeaponSpline.h"
#include "game/level/DistanceLord.h"
#include "game/level/Event.h"
#include "game/level/MysteryBox.h"
#include "game/level/PlayerPositionTrigger.h"
#include "game/level/PowerUp.h"
#include "game/level/Spawner.h"
#include "game/level/SplineMultiSpawner.h"
#include "game/level/SplineObjectSpawner.h"
#include "game/level/TimeLord.h"
#include "game/physics/AABBCollider.h"
#include "game/physics/Body.h"
#include "game/physics/BoundingSphere.h"
#include "game/physics/Collision.h"
#include "game/physics/CylinderCollision.h"
#include "game/physics/SphereCollision.h"
#include "game/track/PlayerPath.h"
#include "game/track/SplineCrawler.h"

const ComponentClassList& GameClasses() {
    static const ComponentClassList classes = {
        ComponentClassOf<AABBCollider>("AABBCollider"),
        ComponentClassOf<Body>("Body"),
        ComponentClassOf<BoundingSphere>("BoundingSphere"),
        ComponentClassOf<Brain>("Brain"),
        ComponentClassOf<Collision>("Collision"),
        ComponentClassOf<CylinderCollision>("CylinderCollision"),
        ComponentClassOf<Damage>("Damage"),
        ComponentClassOf<DistanceLord>("DistanceLord"),
        ComponentClassOf<Event>("Event"),
        ComponentClassOf<HackComponent>("HackComponent"),
        ComponentClassOf<Health>("Health"),
        ComponentClassOf<Lifetime>("Lifetime"),
        ComponentClassOf<Movement>("Movement"),
        ComponentClassOf<MysteryBox>("MysteryBox"),
        ComponentClassOf<Player>("Player"),
        ComponentClassOf<PlayerPath>("PlayerPath"),
        ComponentClassOf<PlayerPositionTrigger>("PlayerPositionTrigger"),
        ComponentClassOf<PowerUp>("PowerUp"),
        ComponentClassOf<Projectile>("Projectile"),
        ComponentClassOf<ProjectilePatternManager>("ProjectilePatternManager"),
        ComponentClassOf<Sataleye>("Sataleye"),
        ComponentClassOf<Spawner>("Spawner"),
        ComponentClassOf<SphereCollision>("SphereCollision"),
        ComponentClassOf<SplineCrawler>("SplineCrawler"),
        ComponentClassOf<SplineMultiSpawner>("SplineMultiSpawner"),
        ComponentClassOf<SplineObjectSpawner>("SplineObjectSpawner"),
        ComponentClassOf<TimeLord>("TimeLord"),
        ComponentClassOf<Weapon>("Weapon"),
        ComponentClassOf<WeaponSpline>("WeaponSpline"),
    };
    return classes;
}
