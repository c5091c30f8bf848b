#include <cmath>
#include <limits>

#include "WeaponWorld.h"

namespace {

class WeaponTest : public WeaponWorld {
protected:
    Weapon* MakeWeapon(std::vector<std::string> archetypes = {"Bullet"},
                       const D3DXQUATERNION& rotation = {0, 0, 0, 1}) {
        auto* weapon = new Weapon;
        weapon->projectileArchetypes = std::move(archetypes);
        shooter = MakeShooter(weapon, {5, 0, 0}, rotation);
        return weapon;
    }
    u32 shooter = 0;
};

const Ray kAhead{{0, 0, 0}, {0, 0, 1}};

}  // namespace

TEST_F(WeaponTest, TwoRequestsInOneFrameMakeOneShot) {
    AddBulletArchetype("Bullet");
    MakeWeapon({"Bullet", "Bullet"});
    FireAt(shooter, kAhead);
    FireAt(shooter, kAhead);
    EXPECT_EQ(BulletObjects().size(), 2u);  // one of each archetype, once
    NextFrame();
    EXPECT_EQ(audio->Count(kMsgPlaySound.type, kMsgPlaySound.argument), 1u);
}

TEST_F(WeaponTest, RechargeIsReadyAfterTwoUpdatesThenAfterFour) {
    Weapon* weapon = MakeWeapon({});
    weapon->maxRechargeTime = 0.1f;
    weapon->Init();  // the timer starts full: the first shot is back soon
    for (int expected : {2, 4, 4}) {
        weapon->Fire(kAhead);
        ASSERT_TRUE(weapon->recharging);
        int updates = 0;
        while (weapon->recharging && updates < 10) {
            weapon->Update(0.04f);
            ++updates;
        }
        EXPECT_EQ(updates, expected);
    }
}

TEST_F(WeaponTest, FireTurnsTheObjectTowardTheAimedPointUnlessTheRayGivesNoDirection) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* what;
        Ray ray;
        D3DXVECTOR3 facing;
    };
    const Case cases[] = {
        {"toward +z from the weapon", {{5, 0, 0}, {0, 0, 1}}, {0, 0, 1}},
        {"origin elsewhere: from the weapon to the aimed point", {{5, 0, -250}, {0, 1, 1}}, {0, 1, 0}},
        {"zero ray at the weapon keeps the facing", {{5, 0, 0}, {0, 0, 0}}, {1, 0, 0}},
        {"NaN direction keeps the facing", {{0, 0, 0}, {nan, 0, 1}}, {1, 0, 0}},
        {"infinite origin keeps the facing", {{inf, 0, 0}, {0, 0, 1}}, {1, 0, 0}},
    };
    const float half = std::sqrt(0.5f);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Weapon* weapon = MakeWeapon({}, {0, half, 0, half});  // facing +x
        weapon->Fire(c.ray);
        Transform* transform = Find<Transform>(shooter);
        const D3DXVECTOR3 facing = transform->GetForward();
        EXPECT_NEAR(facing.x, c.facing.x, 1e-5f);
        EXPECT_NEAR(facing.y, c.facing.y, 1e-5f);
        EXPECT_NEAR(facing.z, c.facing.z, 1e-5f);
        EXPECT_TRUE(std::isfinite(transform->rotation.w));
    }
}

TEST_F(WeaponTest, ShotWithoutArchetypesStillRechargesFlashesAndSoundsAndItsAimLineIsQueued) {
    Weapon* weapon = MakeWeapon({});
    weapon->fireSound = "pew";
    RecordingSystem* effects = new RecordingSystem(TypeId<WeaponTest>::Get());
    engine->AddSystem(effects);
    effects->Subscribe(kMsgShotEffect);
    weapon->Fire(kAhead);
    EXPECT_TRUE(weapon->recharging);
    ASSERT_EQ(effects->seen.size(), 1u);
    EXPECT_EQ(effects->seen[0].sender, shooter);
    weapon->DebugDraw();
    EXPECT_EQ(graphics->Count(kMsgDebugLineA.type, kMsgDebugLineA.argument), 0u);  // queued
    NextFrame();
    EXPECT_EQ(audio->Count(kMsgPlaySound.type, kMsgPlaySound.argument), 1u);
    EXPECT_EQ(graphics->Count(kMsgDebugLineA.type, kMsgDebugLineA.argument), 1u);
}

TEST_F(WeaponTest, UnusableArchetypesAreLoggedOnceAndLeftOutWhileOthersFire) {
    AddBulletArchetype("Bullet");
    GameObject* inert = factory.NewGameObject();  // made, but it could never fly
    inert->SetArchetypeName("Spark");
    inert->AddComponent(new Transform);
    factory.AddArchetypeByName(inert);
    Weapon* weapon = MakeWeapon({"Missing", "Spark", "Bullet"});
    for (int shot = 0; shot < 3; ++shot) {
        weapon->Fire(kAhead);
        weapon->recharging = false;
        NextFrame();
    }
    EXPECT_EQ(BulletObjects().size(), 3u);
    for (u32 id : BulletObjects()) EXPECT_TRUE(Find<ProjectilePatternManager>(id)->IsActive());
    const auto rows = Rows();
    EXPECT_EQ(CountContaining(rows, "\"Missing\" cannot be had"), 1u);
    EXPECT_EQ(CountContaining(rows, "\"Spark\" has no Projectile"), 1u);
    EXPECT_EQ(CountContaining(rows, "Init gameobject"), 3u + 1u + 1u);  // three bullets, one spark, the shooter
}

TEST_F(WeaponTest, BulletsLeaveFromTheWeaponAlongItsNewFacing) {
    AddBulletArchetype("Bullet", "Normal", 80.0f);
    MakeWeapon();
    FireAt(shooter, {{5, 0, 0}, {0, 1, 0}});
    ASSERT_EQ(BulletObjects().size(), 1u);
    const u32 bullet = BulletObjects()[0];
    EXPECT_EQ(Find<Transform>(bullet)->worldPosition, D3DXVECTOR3(5, 0, 0));
    Find<ProjectilePatternManager>(bullet)->Update(0.016f);
    const D3DXVECTOR3 vel = Find<Body>(bullet)->vel;
    EXPECT_NEAR(vel.x, 0.0f, 1e-4f);
    EXPECT_NEAR(vel.y, 80.0f, 1e-4f);
    EXPECT_NEAR(vel.z, 0.0f, 1e-4f);
}

TEST_F(WeaponTest, UnregisteredWeaponsAndProjectilesLeaveTheirSubscriptions) {
    AddBulletArchetype("Bullet");
    Weapon* weapon = MakeWeapon();
    const u32 weaponId = weapon->GetId();
    FireAt(shooter, kAhead);
    const u32 bullet = BulletObjects().at(0);
    const u32 projectileId = Find<Projectile>(bullet)->GetId();
    EXPECT_TRUE(hub.IsSubscribed(kMsgFire, weaponId));
    EXPECT_TRUE(hub.IsSubscribed(kMsgCrawlerAnnounced, projectileId));
    overlord.UnregisterGameObject(shooter);
    overlord.UnregisterGameObject(bullet);
    NextFrame();
    EXPECT_FALSE(hub.IsSubscribed(kMsgFire, weaponId));
    EXPECT_FALSE(hub.IsSubscribed(kMsgCrawlerAnnounced, projectileId));
    Broadcast(kMsgFire, 0, kAhead);  // nobody left to fire
    EXPECT_EQ(BulletObjects().size(), 1u);
}
