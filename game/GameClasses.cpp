#include "game/GameClasses.h"

#include "game/actors/Player.h"
#include "game/combat/Damage.h"
#include "game/combat/Health.h"
#include "game/combat/Projectile.h"
#include "game/combat/ProjectilePatternManager.h"
#include "game/combat/Weapon.h"
#include "game/combat/WeaponSpline.h"
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
        ComponentClassOf<Collision>("Collision"),
        ComponentClassOf<CylinderCollision>("CylinderCollision"),
        ComponentClassOf<Damage>("Damage"),
        ComponentClassOf<Health>("Health"),
        ComponentClassOf<Player>("Player"),
        ComponentClassOf<PlayerPath>("PlayerPath"),
        ComponentClassOf<Projectile>("Projectile"),
        ComponentClassOf<ProjectilePatternManager>("ProjectilePatternManager"),
        ComponentClassOf<SphereCollision>("SphereCollision"),
        ComponentClassOf<SplineCrawler>("SplineCrawler"),
        ComponentClassOf<Weapon>("Weapon"),
        ComponentClassOf<WeaponSpline>("WeaponSpline"),
    };
    return classes;
}
