#include <cmath>

#include "LevelWorld.h"
#include "game/actors/Brain.h"
#include "game/actors/Movement.h"
#include "game/actors/Player.h"
#include "game/actors/Sataleye.h"
#include "game/physics/Body.h"
#include "game/scene/BehaviorSystem.h"

namespace {

constexpr float kStep = 0.0166667f;  // the behaviour step

class ActorTest : public LevelWorld {
protected:
    // A ship at `at`, announced as the focus object, riding a carrier that
    // moves along z at `speed`.
    u32 MakeShip(const D3DXVECTOR3& at, float speed = 0.0f) {
        auto* crawler = new SplineCrawler;
        const u32 carrier = MakeObject({}, {crawler});
        crawler->velocityVector = D3DXVECTOR3(0, 0, speed);
        const u32 ship = MakeObject(at);
        overlord.GetGameObject(ship)->SetParent(carrier);
        Broadcast(kMsgFocusObject, 0, ship);
        return ship;
    }

    static void* ClientData(const IComponent& c) {
        return reinterpret_cast<void*>(static_cast<std::uintptr_t>(c.GetId()));
    }
};

void ExpectNear(const D3DXVECTOR3& a, const D3DXVECTOR3& b, float tolerance) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

bool AllZero(const Body& b) {
    const D3DXVECTOR3 zero(0, 0, 0);
    return b.vel == zero && b.angVel == zero && b.persistForce == zero && b.instantForce == zero &&
           b.persistTorque == zero && b.instantTorque == zero;
}

}  // namespace

TEST_F(ActorTest, MovementStopsWithABodyAtRestWithinArrivalOfItsOnlyTarget) {
    auto* body = new Body;
    body->vel = body->angVel = body->persistForce = body->persistTorque = D3DXVECTOR3(1, 2, 3);
    body->instantForce = body->instantTorque = D3DXVECTOR3(1, 2, 3);
    auto* movement = new Movement;
    movement->waypointList = {{0, 0, 24.9f}};
    MakeObject({}, {body, movement});
    EXPECT_TRUE(movement->moving);
    movement->Update(0.0f);
    EXPECT_FALSE(movement->moving);
    EXPECT_TRUE(AllZero(*body));
}

TEST_F(ActorTest, MovementWalksItsAuthoredListAndKeepsIt) {
    const std::deque<D3DXVECTOR3> points = {{100, 0, 0}, {0, 100, 0}, {0, 0, 100}};
    for (bool patrolling : {true, false}) {
        auto* movement = new Movement;
        movement->waypointList = points;
        movement->patrolling = patrolling;
        const u32 object = MakeObject({}, {new Body, movement});
        std::vector<D3DXVECTOR3> visited;
        for (int i = 0; i < 5 && movement->moving; ++i) {
            visited.push_back(movement->target);
            Find<Transform>(object)->SetPositionAndUpdate(movement->target.x, movement->target.y, movement->target.z);
            movement->Update(0.0f);
        }
        const std::vector<D3DXVECTOR3> expected =
            patrolling ? std::vector<D3DXVECTOR3>{points[0], points[1], points[2], points[0], points[1]}
                       : std::vector<D3DXVECTOR3>{points[0], points[1], points[2]};
        EXPECT_EQ(visited, expected) << patrolling;
        EXPECT_EQ(movement->waypointList, points) << "the authored list is kept for saving";
    }
}

TEST_F(ActorTest, MovementFliesAtThirtyAndTurnsHarderNearTheTarget) {
    const struct {
        D3DXVECTOR3 target;
        D3DXVECTOR3 torque;  // forward (0, 0, 1) x offset x 30 x scale
    } cases[] = {
        {{0, 0, 200}, {0, 0, 0}},     // straight ahead: no turn
        {{100, 0, 0}, {0, 3000, 0}},  // beyond 75: scale 1
        {{50, 0, 0}, {0, 6000, 0}},   // near, across the forward: scale 4
        {{30, 0, 40}, {0, 9000, 0}},  // near, ahead: scale 10
    };
    for (const auto& c : cases) {
        auto* body = new Body;
        auto* movement = new Movement;
        movement->waypointList = {c.target};
        MakeObject({}, {body, movement});
        movement->Update(0.0f);
        ExpectNear(body->vel, D3DXVECTOR3(0, 0, 30), 1e-5f);
        ExpectNear(body->instantTorque, c.torque, 1e-2f);
    }
    auto* body = new Body;
    auto* movement = new Movement;
    movement->waypointList = {{0, 0, -100}};  // straight behind
    MakeObject({}, {body, movement});
    movement->Update(0.0f);
    EXPECT_GT(D3DXVec3Length(&body->instantTorque), 1.0f) << "it turns instead of flying away for ever";
    EXPECT_NEAR(body->instantTorque.z, 0.0f, 1e-3f) << "about an axis across the forward";
}

TEST_F(ActorTest, MovementButtonsLeaveShortListsAlone) {
    auto* movement = new Movement;
    MakeObject({}, {movement});
    Movement::RemoveWaypointButton(ClientData(*movement));
    EXPECT_TRUE(movement->waypointList.empty());
    Movement::AddWaypointButton(ClientData(*movement));
    Movement::ScrollWaypointsButton(ClientData(*movement));
    EXPECT_EQ(movement->waypointList, std::deque<D3DXVECTOR3>({{0, 0, 0}}));
    movement->waypointList.push_back({1, 2, 3});
    Movement::ScrollWaypointsButton(ClientData(*movement));
    EXPECT_EQ(movement->waypointList, std::deque<D3DXVECTOR3>({{1, 2, 3}, {0, 0, 0}}));
    Movement::RemoveWaypointButton(ClientData(*movement));
    EXPECT_EQ(movement->waypointList, std::deque<D3DXVECTOR3>({{1, 2, 3}}));
}

TEST_F(ActorTest, BrainSweepsAHalfCircleAndBack) {
    auto* brain = new Brain;
    brain->halfCircle = true;
    brain->angleIncrement = 90.0f;
    MakeObject({}, {brain});
    int over180 = 0;
    int below0 = 0;
    for (int step = 1; step <= 300 && !below0; ++step) {
        brain->Update(kStep);
        if (!over180 && brain->angle > 180.0f) over180 = step;
        if (over180 && brain->angle < 0.0f) below0 = step;
    }
    EXPECT_EQ(over180, 120);
    EXPECT_EQ(below0, 240);
}

TEST_F(ActorTest, BrainFiresEveryStepOnlyAtAPlayerElsewhere) {
    auto* brain = new Brain;
    brain->angleIncrement = 90.0f;
    brain->circleRadius = 10.0f;
    auto* probe = new Probe;
    const u32 enemy = MakeObject({0, 0, 50}, {brain, probe});
    brain->Update(kStep);
    EXPECT_EQ(probe->Count(kMsgFire.type), 0u) << "no player";

    const u32 ship = MakeShip({0, 0, 50});
    brain->Update(kStep);
    EXPECT_EQ(probe->Count(kMsgFire.type), 0u) << "the player in the enemy's place";

    Find<Transform>(ship)->SetPositionAndUpdate(0, 0, 0);
    for (int i = 0; i < 3; ++i) brain->Update(kStep);
    EXPECT_EQ(probe->Count(kMsgFire.type), 3u);
    ExpectNear(Find<Transform>(enemy)->worldPosition, D3DXVECTOR3(0, 0, 50), 0.0f);  // no angle set: it stays

    Broadcast(kMsgCirclingAngle, 0, 90.0f);
    brain->Update(kStep);  // 90 + 1.5 degrees on a circle of 10 about (0, 0)
    ExpectNear(Find<Transform>(enemy)->worldPosition, D3DXVECTOR3(-0.2618f, 9.9966f, 50), 1e-3f);

    overlord.UnregisterGameObject(ship);
    brain->Update(kStep);
    EXPECT_EQ(probe->Count(kMsgFire.type), 4u) << "the player's object is gone";
}

TEST_F(ActorTest, SataleyePullsAndPacesByDistanceAhead) {
    const u32 ship = MakeShip({0, 0, 0}, 60.0f);
    const struct {
        float ahead;
        float force;  // toward the orbit point, along -x here
        float speed;  // 0: velocity left alone
        float radius1;
        float x;  // the orbit point's x is 0
    } cases[] = {{200, 250, 0, 4, 3}, {80, 125, 0, 4, 3}, {30, 281.25f, 19.375f, 4, 3},
                 {10, 450, 25, 4, 3}, {200, 0, 0, 0, 3},  // no positive radius: no orbit-1 term
                 {200, 0, 0, 4, 0}};                      // on the orbit point: no direction
    for (const auto& c : cases) {
        auto* body = new Body;
        body->vel = D3DXVECTOR3(0, 5, 0);
        auto* eye = new Sataleye;
        eye->radius1 = c.radius1;
        MakeObject({c.x, 20, c.ahead}, {body, eye});
        Broadcast(kMsgFocusObject, 0, ship);
        eye->Update(kStep);
        ExpectNear(body->instantForce, D3DXVECTOR3(-c.force, 0, 0), 1e-3f);
        if (c.speed == 0) {
            ExpectNear(body->vel, D3DXVECTOR3(0, 5, 0), 0.0f);
        } else {
            EXPECT_NEAR(D3DXVec3Length(&body->vel), c.speed, 1e-4f) << c.ahead;
            EXPECT_GT(body->vel.z, 0.0f) << "the ship's pace";
        }
    }
}

// The ship's focus announcement comes once, at the Player's Init: enemies
// made later learn the player from the BehaviorSystem that steps them.
TEST_F(ActorTest, EnemiesMadeAfterTheFocusAnnouncementStillFindTheShip) {
    engine->AddSystem(new BehaviorSystem);
    const u32 ship = MakeShip({0, 0, 0});
    auto* shipMark = new Probe;
    overlord.GetGameObject(ship)->AddComponent(shipMark);
    Broadcast(ComponentAnnounced(TypeId<Player>::Get()), 0, shipMark->GetId());

    auto* body = new Body;
    auto* eye = new Sataleye;
    MakeObject({3, 20, 200}, {body, eye});
    eye->Update(kStep);
    ExpectNear(body->instantForce, D3DXVECTOR3(-250, 0, 0), 1e-3f);

    auto* brain = new Brain;
    auto* probe = new Probe;
    MakeObject({0, 0, 50}, {brain, probe});
    brain->Update(kStep);
    EXPECT_EQ(probe->Count(kMsgFire.type), 1u);
}
