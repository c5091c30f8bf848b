#include <cmath>

#include "WeaponWorld.h"

namespace {

class ProjectilePatternTest : public WeaponWorld {
protected:
    // A bullet of a fresh archetype driving `pattern`, launched by a resting
    // shooter at `from` facing +z.
    u32 Launch(const std::string& pattern, const D3DXVECTOR3& from = {3, 4, 5}, bool body = true) {
        const std::string name = "Bullet" + std::to_string(++archetypes_);
        AddBulletArchetype(name, pattern, 50.0f, body);
        auto* weapon = new Weapon;
        weapon->projectileArchetypes = {name};
        MakeShooter(weapon, from);
        const size_t before = BulletObjects().size();
        weapon->Fire({from, {0, 0, 1}});
        return BulletObjects().size() > before ? BulletObjects().back() : 0;
    }
    void Steps(u32 bullet, int count) {
        for (int i = 0; i < count; ++i) Find<ProjectilePatternManager>(bullet)->Update(0.016f);
    }
    int archetypes_ = 0;
};

void ExpectNear(const D3DXVECTOR3& a, const D3DXVECTOR3& b, float tolerance) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

}  // namespace

TEST_F(ProjectilePatternTest, EachPatternMovesItsBulletByItsOwnOffset) {
    const D3DXVECTOR3 from{3, 4, 5};
    struct Case {
        const char* pattern;
        D3DXVECTOR3 start;       // where the launch puts the bullet
        D3DXVECTOR3 firstStep;   // offset from start after one update (phase 0)
        D3DXVECTOR3 fourthStep;  // offset from start after four updates (phases 0 to 30)
    };
    const float c = 1.0f + std::cos(10 * 0.0174527f) + std::cos(20 * 0.0174527f) + std::cos(30 * 0.0174527f);
    const Case cases[] = {
        {"Normal", from, {0, 0, 0}, {0, 0, 0}},
        {"TopSin", from, {0, 1, 0}, {0, c, 0}},
        {"BottomSin", from, {0, 1, 0}, {0, c, 0}},  // along the shooter's up
        {"LeftSin", from, {1, 0, 0}, {c, 0, 0}},
        {"RightSin", from, {1, 0, 0}, {c, 0, 0}},
        {"TopLeftSin", from, {-1, 1, 0}, {-c, c, 0}},
        {"TopRightSin", from, {1, 1, 0}, {c, c, 0}},
        {"BottomLeftSin", from, {1, 1, 0}, {c, c, 0}},
        {"BottomRightSin", from, {-1, 1, 0}, {-c, c, 0}},
        {"CircleShot",
         from - D3DXVECTOR3(10, 0, 0),
         {10, 0, 0},
         {10 * std::cos(30 * 0.0174527f), 10 * std::sin(30 * 0.0174527f), 0}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.pattern);
        const u32 bullet = Launch(k.pattern, from);
        ASSERT_NE(bullet, 0u);
        Transform* t = Find<Transform>(bullet);
        ExpectNear(t->worldPosition, k.start, 1e-5f);
        Steps(bullet, 1);
        ExpectNear(t->worldPosition - k.start, k.firstStep, 1e-4f);
        Steps(bullet, 3);
        ExpectNear(t->worldPosition - k.start, k.fourthStep, 1e-4f);
        // Every kind also drives the Body along the facing.
        ExpectNear(Find<Body>(bullet)->vel, {0, 0, 50}, 1e-5f);
    }
}

TEST_F(ProjectilePatternTest, CircleShotFallsJustShortOfAFullTurnOn37thUpdate) {
    const u32 bullet = Launch("CircleShot", {0, 0, 0});
    const D3DXVECTOR3 centre{-10, 0, 0};
    Steps(bullet, 37);  // phases 0, 10, ..., 360 degrees
    const D3DXVECTOR3 p = Find<Transform>(bullet)->worldPosition;
    EXPECT_NEAR(p.x, centre.x + 10.0f, 1e-5f);
    EXPECT_NEAR(p.y, centre.y - 0.0021345f, 2e-6f);
}

TEST_F(ProjectilePatternTest, NormalFromRestMovesAtBulletVelocityAlongTheFacing) {
    const u32 bullet = Launch("Normal");
    Body* body = Find<Body>(bullet);
    Steps(bullet, 1);
    ExpectNear(body->vel, {0, 0, 50}, 1e-6f);
    Find<Projectile>(bullet)->bulletVelocity = 120.0f;  // read again every frame
    Steps(bullet, 1);
    ExpectNear(body->vel, {0, 0, 120}, 1e-6f);
}

TEST_F(ProjectilePatternTest, ShooterMotionIsAddedToTheBulletVelocity) {
    const std::string name = "MovingBullet";
    AddBulletArchetype(name);
    auto* weapon = new Weapon;
    weapon->projectileArchetypes = {name};
    auto* body = new Body;
    body->persistForce = {0, 7, 0};  // the shooter's motion counts its forces
    GameObject* object = factory.NewGameObject();
    object->AddComponent(new Transform);
    object->AddComponent(body);
    object->AddComponent(weapon);
    object->Init();
    weapon->Fire({{0, 0, 0}, {0, 0, 1}});
    const u32 bullet = BulletObjects().back();
    Steps(bullet, 1);
    ExpectNear(Find<Body>(bullet)->vel, {0, 7, 50}, 1e-5f);
}

TEST_F(ProjectilePatternTest, WithoutAPatternTheBulletStaysPutWithALogRow) {
    for (const char* pattern : {"", "Zigzag"}) {
        SCOPED_TRACE(pattern);
        const u32 bullet = Launch(pattern, {1, 2, 3});
        ProjectilePatternManager* manager = Find<ProjectilePatternManager>(bullet);
        EXPECT_EQ(manager->PatternCount(), 10u);
        EXPECT_EQ(manager->GetCurrent(), nullptr);
        EXPECT_FALSE(manager->IsActive());
        Steps(bullet, 3);
        ExpectNear(Find<Transform>(bullet)->worldPosition, {0, 0, 0}, 0.0f);
        ExpectNear(Find<Body>(bullet)->vel, {0, 0, 0}, 0.0f);
    }
    EXPECT_EQ(CountContaining(Rows(), "names no pattern; the bullet stays put"), 2u);
}

TEST_F(ProjectilePatternTest, ABulletWithoutBodyStillWavesAndNothingIsWritten) {
    const u32 bullet = Launch("TopSin", {0, 0, 0}, false);
    Steps(bullet, 1);
    ExpectNear(Find<Transform>(bullet)->worldPosition, {0, 1, 0}, 1e-6f);
}

TEST_F(ProjectilePatternTest, CloneStartsEmptyAndItsInitBindsItToItsOwnObject) {
    const u32 bullet = Launch("TopSin", {0, 0, 0});
    ProjectilePatternManager* launched = Find<ProjectilePatternManager>(bullet);
    ASSERT_TRUE(launched->IsActive());

    GameObject* copy = overlord.GetGameObject(bullet)->Clone();
    auto* cloned = copy->GetComponent<ProjectilePatternManager>();
    EXPECT_EQ(cloned->PatternCount(), 0u);
    EXPECT_FALSE(cloned->IsActive());
    EXPECT_EQ(cloned->patternToUse, "TopSin");
    copy->Init();
    EXPECT_EQ(cloned->PatternCount(), 10u);
    cloned->Launch(bullet);  // shot from the first bullet: starts there
    Steps(bullet, 1);
    cloned->Update(0.016f);
    // Each moved its own object; unregistering both frees everything.
    EXPECT_NE(Find<Transform>(copy->GetId()), Find<Transform>(bullet));
    ExpectNear(Find<Transform>(copy->GetId())->worldPosition, Find<Transform>(bullet)->worldPosition, 1e-5f);
    overlord.UnregisterGameObject(bullet);
    overlord.UnregisterGameObject(copy->GetId());
    EXPECT_EQ(launched->PatternCount(), 0u);
    NextFrame();
}
