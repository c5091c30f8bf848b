#include <climits>
#include <cmath>
#include <vector>

#include "CombatWorld.h"
#include "game/actors/EulerToQuaternion.h"
#include "game/actors/Player.h"
#include "game/combat/Health.h"
#include "game/physics/Physics.h"
#include "game/scene/GameLogic.h"
#include "game/scene/LevelResultsReceiver.h"

class FinMenu;

namespace {

// Stands in for the results screen under its type id.
class ResultsScreen : public ISystem, public LevelResultsReceiver {
public:
    ResultsScreen() : ISystem(TypeId<FinMenu>::Get()) {}
    void ReceiveLevelResults(const LevelResults& results) override { shown.push_back(results); }
    std::vector<LevelResults> shown;
};

constexpr float kFrame = 1.0f / 60.0f;

// A ship (Health, Player) on a carrier with a SplineCrawler, a decoy carrier
// announced before it, GameLogic and a results screen.
class PlayerTest : public CombatWorld {
protected:
    PlayerTest() {
        engine->AddSystem(logic);
        engine->AddSystem(screen);
        Make({}, {new SplineCrawler});  // another object's crawler, announced first
        crawler->persistVelocity = 20.0f;
        carrier = Make({}, {crawler});
        health->maxHP = 10;
        player->minAngleInc = 30;
        ship = Make({}, {health, player});
        overlord.GetGameObject(ship)->SetParent(carrier);
    }

    // The announcements delivered, the countdown over, one frame.
    void Start() {
        NextFrame();
        Broadcast(kMsgCountdownOver, 0);
        player->Update(kFrame);
    }
    // Frames of kFrame, each with one step of the crawler as Physics runs it.
    void Run(float seconds) {
        for (float t = 0.0f; t < seconds; t += kFrame) {
            crawler->Update(kFrame);
            health->Update(kFrame);
            player->Update(kFrame);
        }
    }
    void Die() { SendToObject(kMsgShipDied, ship, health->GetId()); }

    GameLogic* logic = new GameLogic;
    ResultsScreen* screen = new ResultsScreen;
    SplineCrawler* crawler = new SplineCrawler;
    Health* health = new Health;
    Player* player = new Player;
    u32 carrier = 0;
    u32 ship = 0;
};

TEST_F(PlayerTest, PointsNeverGoBelowZero) {
    const struct {
        int points;
        bool death;  // else (45, 0) with -500
        int left;
    } cases[] = {{14000, true, 4000}, {9000, true, 0}, {300, false, 0}};
    for (const auto& c : cases) {
        player->points = c.points;
        if (c.death)
            Die();
        else
            Broadcast(kMsgPoints, 0, i32{-500});
        EXPECT_EQ(player->points, c.left) << c.points;
    }
}

TEST_F(PlayerTest, DeathPenaltyAndLivesAtTheEndsOfIntSaturate) {
    const struct {
        int points, lostOnDeath, lives, pointsAfter, livesAfter;
    } cases[] = {
        {INT_MAX, -1, 3, INT_MAX, 2},
        {0, INT_MIN, 3, INT_MAX, 2},
        {INT_MIN, INT_MIN, 3, 0, 2},
        {5, 1, INT_MIN, 4, INT_MIN},
    };
    for (const auto& c : cases) {
        player->points = c.points;
        player->pointsLostOnDeath = c.lostOnDeath;
        player->numOfLives = c.lives;
        player->SetEnabled(true);
        Die();
        EXPECT_EQ(player->points, c.pointsAfter) << c.points << " " << c.lostOnDeath;
        EXPECT_EQ(player->numOfLives, c.livesAfter) << c.lives;
    }
}

TEST_F(PlayerTest, ThreeLivesSurviveThreeDeathsTheFourthShowsTheResults) {
    Start();
    player->points = 50000;
    for (int death = 1; death <= 3; ++death) {
        Die();
        EXPECT_FALSE(player->IsEnabled());
        EXPECT_EQ(health->currentHP, 10) << "a spare life refills the hit points";
        Run(4.1f);  // invisible, blinking, back
        EXPECT_TRUE(player->IsEnabled()) << death;
        EXPECT_TRUE(screen->shown.empty()) << death;
    }
    Die();
    ASSERT_EQ(screen->shown.size(), 1u);
    EXPECT_EQ(screen->shown[0].lives, 0);
    EXPECT_EQ(screen->shown[0].points, 20000) << "taken before the last penalty";
    EXPECT_TRUE(screen->shown[0].gameOver);
    EXPECT_TRUE(screen->IsActive());
}

TEST_F(PlayerTest, ABoostNeedsItsWholeCost) {
    Listener* bonuses = Listen(kMsgSpeedBonus);
    Start();
    player->energy = 7.9f;
    Broadcast(kMsgBoostPressed, 0, 0u);
    EXPECT_FALSE(crawler->boosting);
    EXPECT_FLOAT_EQ(player->energy, 7.9f);
    player->energy = 8.0f;
    Broadcast(kMsgBoostPressed, 0, 0u);
    EXPECT_TRUE(crawler->boosting);
    EXPECT_FLOAT_EQ(player->energy, 0.0f);
    EXPECT_EQ(bonuses->Values(kMsgSpeedBonus.type, kMsgSpeedBonus.argument), std::vector<float>{100.0f});
}

TEST_F(PlayerTest, AHeldShieldDrainsEveryThreeSeconds) {
    Start();
    Broadcast(kMsgShieldOn, 0, 0u);
    std::vector<int> drains;
    for (int frame = 1; frame <= 543; ++frame) {
        const float before = player->energy;
        player->Update(kFrame);
        if (player->energy < before) drains.push_back(frame);
    }
    EXPECT_EQ(drains, (std::vector<int>{181, 362, 543}));
    EXPECT_FLOAT_EQ(player->energy, 97.0f);
}

TEST_F(PlayerTest, AStallCostsOneLife) {
    player->dieAtPersistVel = true;
    Start();
    Run(9.0f);  // stalled at 3 s, back at 7 s, stalled again only at 10 s
    EXPECT_EQ(player->numOfLives, 2);
    EXPECT_TRUE(player->IsEnabled());
}

// A ship that never gathers speed, played at a frame rate: Physics steps
// the crawler (at most once a frame) and GameLogic updates the ship with the
// frame's dt. The stall period is simulated time, so on a slow machine, where
// the world runs in slow motion, each life still gets its 3 seconds.
class PlayerStallTest : public PlayerTest, public ::testing::WithParamInterface<float> {
protected:
    PlayerStallTest() {
        engine->AddSystem(physics);
        physics->Init();
        // The carrier was announced before Physics was there.
        ::Broadcast(ComponentAnnounced(TypeId<SplineCrawler>::Get()), 0, crawler->GetId());
        player->dieAtPersistVel = true;
    }
    void Frame() {
        NextFrame();
        physics->Update(GetParam());
        logic->Update(GetParam());
    }
    // Frames that run that many steps: no frame time here is shorter than
    // the step, so Physics runs one each frame.
    void Steps(int count) {
        for (int step = 0; step < count; ++step) Frame();
    }

    Physics* physics = new Physics;
};

TEST_P(PlayerStallTest, AStalledShipLosesOneLifePerStallPeriod) {
    Start();
    for (int lives = 3; lives > 0; --lives) {
        Steps(170);  // a little less than 3 s of simulated time since the start or the return
        EXPECT_EQ(player->numOfLives, lives) << "stall period " << 4 - lives;
        EXPECT_TRUE(player->IsEnabled());
        Steps(20);
        EXPECT_EQ(player->numOfLives, lives - 1) << "stall period " << 4 - lives;
        EXPECT_FALSE(player->IsEnabled());
        for (int frame = 0; frame < 10000 && !player->IsEnabled(); ++frame) Frame();
        ASSERT_TRUE(player->IsEnabled()) << "the ship comes back after invisTime + blinkTime";
    }
    EXPECT_TRUE(screen->shown.empty());
    Steps(190);
    ASSERT_FALSE(screen->shown.empty()) << "the fourth stall ends the game";
    EXPECT_TRUE(screen->shown[0].gameOver);
    EXPECT_EQ(screen->shown[0].lives, 0);
}

// 60 frames a second (one step a frame), 20 and 5 frames a second.
INSTANTIATE_TEST_SUITE_P(FrameTimes, PlayerStallTest, ::testing::Values(Physics::kStep, 0.05f, 0.2f));

TEST_F(PlayerTest, SteeringSpeedWithoutCrawlerOrTopSpeed) {
    Broadcast(kMsgSteerLeft, 0, 0u);
    EXPECT_FLOAT_EQ(player->maxAngularSpeed, 30.0f) << "no crawler known yet";
    NextFrame();
    EXPECT_EQ(player->GetCrawlerObjectId(), carrier) << "the decoy's crawler carries another object";
    const struct {
        float speed, top, expected;
    } cases[] = {{0.0f, 100.0f, 30.0f}, {50.0f, 100.0f, 200.0f}, {50.0f, 0.0f, 30.0f}, {50.0f, -1.0f, 30.0f}};
    for (const auto& c : cases) {
        crawler->currentSpeed = c.speed;
        crawler->maxVelocity = c.top;
        Broadcast(kMsgSteerRight, 0, 0u);
        EXPECT_FLOAT_EQ(player->maxAngularSpeed, c.expected) << c.speed << " of " << c.top;
    }
}

// Held for half a second each way, a steering key carries the ship along its
// circle around the track and rolls it by the same angle: left turns it
// counter-clockwise from the bottom of the circle, right clockwise.
TEST_F(PlayerTest, SteeringMovesTheShipAlongItsCircleAndRollsIt) {
    player->circleRadius = 10.0f;
    const Transform* transform = overlord.GetGameObject(ship)->GetComponent<Transform>();
    ASSERT_NE(transform, nullptr);
    for (const bool left : {true, false}) {
        SCOPED_TRACE(left ? "left" : "right");
        player->Init();
        Broadcast(left ? kMsgSteerLeft : kMsgSteerRight, 0, 0u);
        for (int frame = 0; frame < 30; ++frame) player->Update(kFrame);

        const D3DXVECTOR3 at = transform->position;
        EXPECT_NEAR(std::hypot(at.x, at.y), 10.0f, 1e-3f) << "off the circle";
        EXPECT_LT(at.y, 0.0f) << "still in the lower half";
        EXPECT_GT(std::fabs(at.x), 1.0f) << "the ship did not move";
        EXPECT_EQ(at.x < 0.0f, left);
        // The roll is the angle travelled from the bottom of the circle.
        const float travelled = std::atan2(at.y, at.x) * 180.0f / 3.14159265f + 90.0f;
        const D3DXQUATERNION expected = EulerToQuaternion(0.0f, travelled, 0.0f);
        const D3DXQUATERNION& q = transform->rotation;
        EXPECT_NEAR(std::fabs(q.x * expected.x + q.y * expected.y + q.z * expected.z + q.w * expected.w), 1.0f, 1e-4f)
            << "roll does not follow the circle";
    }
}

TEST_F(PlayerTest, TheEndOfAnOpenTrackCompletesTheLevelOnce) {
    crawler->splineGameObjectID = MakePath({{0, 0, 0}, {0, 0, 100}});
    Start();
    crawler->distance = 99.99f;
    crawler->averageSpeed = 12.9f;
    health->currentHP = 7;
    logic->Update(kFrame);
    logic->Update(kFrame);
    ASSERT_EQ(screen->shown.size(), 1u);
    EXPECT_FALSE(screen->shown[0].gameOver);
    EXPECT_EQ(screen->shown[0].distance, 99);
    EXPECT_EQ(screen->shown[0].averageSpeed, 12);
    EXPECT_EQ(screen->shown[0].health, 7);
    EXPECT_EQ(screen->shown[0].lives, 3);
}

}  // namespace
