// Gameplay timers run on the world's clock: the same scripted play at a slow
// fixed frame time (0.2 s, a few frames a second) and at 1/60 s gives the
// ship's shots the same lifetime in world steps, the weapon the same number
// of shots per step and the ship the same respawn time in steps. Played
// headless through the real loader and class table (Physics, GameLogic,
// BehaviorSystem in the engine's order).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "engine/GameObject.h"
#include "engine/MessageTypes.h"
#include "engine/Ray.h"
#include "game/actors/Player.h"
#include "game/combat/ProjectilePatternManager.h"
#include "tests/game/PlayWorld.h"

namespace {

// The Tutorial's ship in short: a straight track (object 1), the ship's
// carrier (2), the ship (3: a Player with Health) and its gun (4: a Weapon of
// 0.15 s recharge firing "Bullet").
const char* const kScene =
    "Archetypes = { \"\", \"Bullet\", }\n"
    "Instances = {\n"
    "{SceneGUID = 1, Transform = {}, PlayerPath = {wps = {{pos = {x = 0, y = 0, z = 0}}, "
    "{pos = {x = 0, y = 0, z = 20000}}}, }, },\n"
    "{SceneGUID = 2, Transform = {}, SplineCrawler = {persistVelocity = 0, }, },\n"
    "{SceneGUID = 3, Transform = {}, Player = {}, Health = {maxHP = 100, currentHP = 100, }, },\n"
    "{SceneGUID = 4, Transform = {position = {x = 0, y = 0.6, z = 3.5}, }, "
    "Weapon = {maxRechargeTime = 0.15, projectileArchetypes = {\"Bullet\", }, }, },\n"
    "}\n"
    "ParentChild = { { Parent = 2, Child = 3}, { Parent = 3, Child = 4}, }\n"
    "SplineCrawlers = { { SplineCrawler = 2, Spline = 1}, }\n";

// The player's bullet as assets/arch/Bullet.arch has it, less its picture and
// its collider.
const char* const kBullet =
    "Transform = {scale = 2.5, }\n\n"
    "Body = {mass = 1, }\n\n"
    "Projectile = {bulletVelocity = 330, playerVelocityDivideAmount = 40, }\n\n"
    "ProjectilePatternManager = {patternToUse = \"Normal\", }\n\n"
    "Lifetime = {lifetime = 1.4, }\n\n";

constexpr float kBulletLifetime = 1.4f;
constexpr float kRecharge = 0.15f;
constexpr int kSteps = 600;  // ten seconds of game time

// Writes down the objects of the announced bullets.
class ShotCounter : public ISystem {
public:
    ShotCounter() : ISystem(TypeId<ShotCounter>::Get()) {
        MessageHub::Get().Subscribe(this, kMsgTypeComponentAnnounced, TypeId<ProjectilePatternManager>::Get());
    }
    void HandleMessage(Message* message) override { shots.push_back(message->sender); }
    std::vector<u32> shots;
};

// What one scripted run measured.
struct Figures {
    std::vector<long> lifetimes;  // of each shot that ran out, in world steps
    int shots = 0;
    long respawn = -1;          // steps from the ship's death to its return
    float deathSeconds = 0.0f;  // the ship's invisTime + blinkTime
};

// Fire held down from the first frame and the ship killed in it, at a fixed
// frame time, until the world has run kSteps steps.
Figures Play(float frameTime) {
    PlayWorld world;
    auto* counter = new ShotCounter;
    world.engine->AddSystem(counter);
    world.WriteFile("arch/Bullet.arch", kBullet);
    world.WriteFile("scene/Clock.scn", kScene);
    Figures figures;
    if (!world.scene->LoadScene(world.ScenePath("Clock"))) return figures;
    const u32 ship = world.loader->GetSaveNumbers().at(3);
    const u32 gun = world.loader->GetSaveNumbers().at(4);
    const Player* player = Overlord::FindComponent<Player>(ship);
    if (!player) return figures;
    figures.deathSeconds = player->invisTime + player->blinkTime;

    const auto steps = [&] { return std::lround(world.physics->GetTotalTime() / Physics::kStep); };
    std::map<u32, long> born;  // live shots: the steps run before the frame that fired them
    long diedAt = -1;
    for (int frame = 0; steps() < kSteps && frame < 100000; ++frame) {
        const long before = steps();
        const size_t known = counter->shots.size();
        world.Frame(frameTime, [&] {
            SendToObject(kMsgFire, gun, 0, Ray{{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}});
            if (frame == 0) SendToObject(kMsgShipDied, ship, 0);
        });
        if (frame == 0) diedAt = before;
        for (size_t i = known; i < counter->shots.size(); ++i) born[counter->shots[i]] = before;
        for (auto it = born.begin(); it != born.end();) {
            if (world.overlord.GetGameObject(it->first)) {
                ++it;
                continue;
            }
            figures.lifetimes.push_back(steps() - it->second);
            it = born.erase(it);
        }
        if (figures.respawn < 0 && diedAt >= 0 && player->IsEnabled()) figures.respawn = steps() - diedAt;
    }
    figures.shots = static_cast<int>(counter->shots.size());
    return figures;
}

TEST(WorldClockTest, ShotsLiveAndFireAlikeInWorldStepsAtSlowAndFullFrameRates) {
    const struct {
        const char* name;
        float frameTime;
    } runs[] = {
        {"0.2 s frames", 0.2f},
        {"1/60 s frames", 1.0f / 60.0f},
    };
    std::vector<Figures> figures;
    for (const auto& run : runs) {
        figures.push_back(Play(run.frameTime));
        const Figures& f = figures.back();
        ASSERT_GT(f.shots, 0) << run.name;
        ASSERT_FALSE(f.lifetimes.empty()) << run.name;
        const long lifetime = f.lifetimes.front();
        std::printf(
            "%s: shot lifetime %ld steps (%g s of game time), %d shots in %d steps (%.4f a step, %.2f a "
            "game second), respawn after %ld steps\n",
            run.name, lifetime, lifetime * Physics::kStep, f.shots, kSteps, static_cast<double>(f.shots) / kSteps,
            f.shots / (kSteps * Physics::kStep), f.respawn);
        for (long steps : f.lifetimes) EXPECT_EQ(steps, lifetime) << run.name << ": every shot lives alike";
        // The lifetime is counted in game seconds: a shot runs out in the
        // first step past 1.4 s of game time.
        EXPECT_NEAR(lifetime * Physics::kStep, kBulletLifetime, 1.5f * Physics::kStep) << run.name;
        // The recharge holds the weapon to at most one shot per 0.15 s of game time.
        EXPECT_LE(f.shots * kRecharge, kSteps * Physics::kStep + kRecharge) << run.name;
        EXPECT_NEAR(f.respawn * Physics::kStep, f.deathSeconds, 2.5f * Physics::kStep) << run.name;
    }
    EXPECT_EQ(figures[0].lifetimes.front(), figures[1].lifetimes.front());
    EXPECT_EQ(figures[0].shots, figures[1].shots);
    EXPECT_EQ(figures[0].respawn, figures[1].respawn);
}

}  // namespace
