#include "WeaponWorld.h"
#include "game/actors/Lifetime.h"
#include "game/actors/Player.h"
#include "game/combat/Health.h"
#include "game/combat/WeaponSpline.h"
#include "render/frame/RenderDevice.h"
#include "render/particle/ParticleEffect.h"
#include "render/particle/ParticleEmmiter.h"

namespace {

struct WeaponAnnouncements;

class WeaponSplineTest : public WeaponWorld {
protected:
    WeaponSplineTest() {
        GameObject* bullet = factory.NewGameObject();
        bullet->SetArchetypeName("SplineBullet");
        bullet->AddComponent(new Transform);
        auto* projectile = new Projectile;
        projectile->playerVelocityDivideAmount = 20.0f;
        bullet->AddComponent(projectile);
        auto* health = new Health;
        health->maxHP = 1;
        bullet->AddComponent(health);
        factory.AddArchetypeByName(bullet);
        engine->AddSystem(crawlers);
        crawlers->Subscribe(ComponentAnnounced(TypeId<SplineCrawler>::Get()));
    }

    // The track, the ship's carrier crawling it, the ship on the carrier at
    // (0, -50, 0) and the weapon on the ship at (3, 0, 0); the weapon knows
    // the ship unless told otherwise.
    void Build(bool announcePlayer = true, bool shipOnCarrier = true) {
        path = MakePath({{0, 0, 0}, {0, 0, 1000}, {0, 0, 2000}, {0, 0, 3000}});
        shipCrawler = new SplineCrawler;
        shipCrawler->splineGameObjectID = path;
        shipCrawler->maxVelocity = 3000.0f;
        shipCrawler->distance = 120.0f;
        shipCrawler->lookAheadDistance = 0.5f;
        carrier = MakeObject({0, 0, 120}, shipCrawler);
        tank = new Player;
        ship = MakeObject({0, -50, 0}, tank);
        if (shipOnCarrier) overlord.GetGameObject(ship)->SetParent(carrier);
        weapon = new WeaponSpline;
        weapon->archetype = "SplineBullet";
        weaponObject = MakeObject({3, 0, 0}, weapon);
        overlord.GetGameObject(weaponObject)->SetParent(ship);
        if (announcePlayer) Broadcast(kMsgPlayerObject, 0, ship);
        crawlers->seen.clear();
    }

    // The crawler of the carrier made by the last shot, or null.
    SplineCrawler* LastCarrierCrawler() {
        if (crawlers->seen.empty()) return nullptr;
        return overlord.GetComponentById<SplineCrawler>(crawlers->seen.back().value);
    }
    RecordingSystem* crawlers = new RecordingSystem(TypeId<WeaponSplineTest>::Get());
    u32 path = 0, carrier = 0, ship = 0, weaponObject = 0;
    SplineCrawler* shipCrawler = nullptr;
    Player* tank = nullptr;
    WeaponSpline* weapon = nullptr;
};

}  // namespace

TEST_F(WeaponSplineTest, CarrierVelocityGrowsWithTheShipsSpeed) {
    struct Case {
        float speed, maxVelocity, velocity;
    };
    for (const Case& c : {Case{0, 3000, 1500}, Case{3000, 3000, 3000}, Case{1500, 3000, 2250}, Case{-900, 3000, 1500},
                          Case{400, 0, 1500}, Case{400, -5, 1500}}) {
        SCOPED_TRACE(testing::Message() << c.speed << " of " << c.maxVelocity);
        EXPECT_EQ(WeaponSpline::CarrierVelocity(c.speed, c.maxVelocity), c.velocity);
    }
    Build();
    shipCrawler->currentSpeed = 3000.0f;
    weapon->Fire();
    ASSERT_NE(LastCarrierCrawler(), nullptr);
    EXPECT_EQ(LastCarrierCrawler()->persistVelocity, 3000.0f);
    EXPECT_EQ(LastCarrierCrawler()->distance, 120.0f);
    EXPECT_EQ(LastCarrierCrawler()->lookAheadDistance, 0.5f);
    EXPECT_EQ(LastCarrierCrawler()->splineGameObjectID, path);
}

TEST_F(WeaponSplineTest, FasterShipsFireBulletsWithMoreHitPoints) {
    EXPECT_EQ(WeaponSpline::BulletHitPoints(1, 400, 20), 21);
    EXPECT_EQ(WeaponSpline::BulletHitPoints(1, 410, 20), 21);  // truncated
    EXPECT_EQ(WeaponSpline::BulletHitPoints(1, 400, 0), 1);    // no division by 0
    Build();
    shipCrawler->currentSpeed = 400.0f;
    weapon->Fire();
    ASSERT_EQ(crawlers->seen.size(), 1u);
    const GameObject* carrierObject = overlord.GetGameObject(LastCarrierCrawler()->GetOwner());
    ASSERT_EQ(carrierObject->GetChildren().size(), 1u);
    const u32 bullet = carrierObject->GetChildren()[0];
    EXPECT_EQ(Find<Health>(bullet)->currentHP, 21);
    // The bullet sits on its carrier where the weapon sits on the ship's carrier.
    EXPECT_EQ(Find<Transform>(bullet)->position, D3DXVECTOR3(3, -50, 0));
}

TEST_F(WeaponSplineTest, EnergyPaysForShotsUnlessTheyAreFree) {
    struct Case {
        const char* what;
        float energy, cost;
        bool fires;
        float left;
    };
    const Case cases[] = {
        {"a full tank pays", 100, 0.1f, true, 99.9f},
        {"any energy above 0 pays, even below the cost", 0.05f, 0.1f, true, -0.05f},
        {"an empty tank refuses", 0, 0.1f, false, 0},
        {"a free shot fires on an empty tank", 0, 0, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Build();
        tank->energy = c.energy;
        weapon->bulletEnergyCost = c.cost;
        weapon->Fire();
        EXPECT_EQ(crawlers->seen.size(), c.fires ? 1u : 0u);
        EXPECT_EQ(weapon->recharging, c.fires);
        EXPECT_FLOAT_EQ(tank->energy, c.left);
    }
}

TEST_F(WeaponSplineTest, NothingIsSpentOrMadeWithoutAShipOnACarrier) {
    struct Case {
        const char* what;
        bool announcePlayer, shipOnCarrier, enabled;
    };
    const Case cases[] = {
        {"fire before the player is named", false, true, true},
        {"a ship without carrier", true, false, true},
        {"a disabled weapon", true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Build(c.announcePlayer, c.shipOnCarrier);
        weapon->SetEnabled(c.enabled);
        FireAt(weaponObject, {{0, 0, 0}, {0, 0, 1}});
        EXPECT_EQ(crawlers->seen.size(), 0u);
        EXPECT_EQ(tank->energy, 100.0f);
        EXPECT_FALSE(weapon->recharging);
    }
}

TEST_F(WeaponSplineTest, RechargesLikeTheWeaponAndAnnouncesItself) {
    RecordingSystem* announced = new RecordingSystem(TypeId<WeaponAnnouncements>::Get());
    engine->AddSystem(announced);
    announced->Subscribe(kMsgSplineWeaponAnnounced);
    Build();
    EXPECT_TRUE(announced->seen.empty());  // queued
    NextFrame();
    ASSERT_EQ(announced->seen.size(), 1u);
    EXPECT_EQ(announced->seen[0].value, weapon->GetId());
    weapon->Fire();
    weapon->Fire();
    EXPECT_EQ(crawlers->seen.size(), 1u);
    weapon->Update(0.04f);
    weapon->Update(0.04f);
    EXPECT_FALSE(weapon->recharging);
}

// Holding fire: every bullet carries an impact effect (an emitter object
// with GPU buffers). Bullets that expire unhit and bullets that die in a hit
// (their impact plays) give those buffers back, so the emitter pool stays at
// what the bullets alive at once need, shot after shot.
TEST_F(WeaponSplineTest, HoldingFireDoesNotGrowTheEmitterPool) {
    RenderDevice pool;
    GameObject* impact = factory.NewGameObject();
    impact->SetArchetypeName("Impact");
    impact->AddComponent(new Transform);
    impact->AddComponent(new ParticleEmmiter);
    factory.AddArchetypeByName(impact);
    GameObject* bulletPrototype = factory.GetArchetype("SplineBullet");
    auto* effect = new ParticleEffect;
    effect->Archetype(0) = "Impact";
    bulletPrototype->AddComponent(effect);
    auto* lifetime = new Lifetime;
    lifetime->lifetime = 0.9f;
    bulletPrototype->AddComponent(lifetime);
    // The renderer's emitter list, as the GraphicsSystem files it.
    graphics->Subscribe(ComponentAnnounced(TypeId<ParticleEmmiter>::Get()));
    Build();
    weapon->maxRechargeTime = 0.4f;

    constexpr float kFrame = 0.1f;
    std::vector<u32> bullets, emitters;
    std::size_t afterWarmUp = 0;
    for (int shot = 1; shot <= 200; ++shot) {
        const std::size_t carriers = crawlers->seen.size();
        weapon->Fire();
        ASSERT_EQ(crawlers->seen.size(), carriers + 1) << shot;
        const GameObject* carrier = overlord.GetGameObject(LastCarrierCrawler()->GetOwner());
        bullets.push_back(carrier->GetChildren().at(0));
        // Every third bullet hits something and dies with its impact.
        if (shot % 3 == 0) Find<Health>(bullets.back())->currentHP = 0;
        for (int frame = 0; frame < 6; ++frame) {
            weapon->Update(kFrame);
            for (u32 bullet : bullets) {
                if (Health* health = Find<Health>(bullet)) health->Update(kFrame);
                if (Lifetime* clock = Find<Lifetime>(bullet)) clock->Update(kFrame);
            }
            for (const Delivery& d : graphics->seen)
                if (d.type == kMsgTypeComponentAnnounced && d.argument == TypeId<ParticleEmmiter>::Get())
                    emitters.push_back(d.value);
            graphics->seen.clear();
            pool.RunEmitters(emitters, kFrame, 0.0f, {});
            NextFrame();
        }
        std::erase_if(bullets, [&](u32 id) { return !Alive(id); });
        if (shot == 10) afterWarmUp = pool.RecordCount();
    }
    EXPECT_LE(afterWarmUp, 3u);
    EXPECT_EQ(pool.RecordCount(), afterWarmUp);
    EXPECT_LE(ParticleEffect::LiveObjects(), 3u) << "the impact objects of gone bullets go too";
}
