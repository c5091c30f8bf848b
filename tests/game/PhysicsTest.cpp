#include <cmath>
#include <string>
#include <vector>

#include "TrackWorld.h"
#include "game/physics/Body.h"
#include "game/physics/Physics.h"

namespace {

// Records, in one shared sequence, the refresh messages its object receives
// and where the object stood then.
struct Refresh {
    u32 objectId;
    D3DXVECTOR3 position;
};
std::vector<Refresh>* gRefreshes = nullptr;

class RefreshProbe : public Component<RefreshProbe> {
public:
    void HandleMessage(Message* message) override {
        if (!message->Is(kMsgRefresh) || !gRefreshes) return;
        const Transform* transform = Overlord::FindComponent<Transform>(GetOwner());
        gRefreshes->push_back({GetOwner(), transform ? transform->worldPosition : D3DXVECTOR3(NAN, NAN, NAN)});
    }
};

class PhysicsTest : public TrackWorld {
protected:
    PhysicsTest() {
        engine->AddSystem(physics);
        physics->Init();
        gRefreshes = &refreshes;
    }
    ~PhysicsTest() override { gRefreshes = nullptr; }

    // An object at origin with a Body (set up by `setup`) and a refresh probe.
    Body* MakeBody(const D3DXVECTOR3& origin = {}, const std::function<void(Body&)>& setup = {}) {
        auto* body = new Body;
        if (setup) setup(*body);
        bodyObject = MakeObject(origin, body);
        AddProbe(bodyObject);
        return body;
    }
    void AddProbe(u32 objectId) { overlord.GetGameObject(objectId)->AddComponent(new RefreshProbe); }
    void Frames(std::initializer_list<float> dts) {
        for (float dt : dts) physics->Update(dt);
    }

    Physics* physics = new Physics;
    std::vector<Refresh> refreshes;
    u32 bodyObject = 0;
};

void ExpectNear(const D3DXVECTOR3& a, const D3DXVECTOR3& b, float tolerance = 1e-6f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

}  // namespace

TEST_F(PhysicsTest, AtMostOneFixedStepAFrameAndTheRestIsDropped) {
    const struct {
        std::vector<float> dts;
        int steps;
        float accumulator;
        float totalTime;
    } cases[] = {
        {{0.02f}, 1, 0.0f, 0.02f},
        {{0.01f}, 0, 0.01f, 0.0f},
        {{0.01f, 0.01f}, 1, 0.0f, 0.01f},
        {{0.1f}, 1, 0.0f, 0.1f},
        {{10.0f}, 1, 0.0f, 10.0f},
        {{0.0f, 0.0f}, 0, 0.0f, 0.0f},
        {{NAN, -1.0f, INFINITY}, 0, 0.0f, 0.0f},  // broken frame times add nothing
        {{NAN, 0.02f}, 1, 0.0f, 0.02f},
    };
    for (const auto& c : cases) {
        physics->SetTotalTime(0.0f);
        MakeBody({}, [](Body& b) { b.vel = {1, 0, 0}; });
        for (float dt : c.dts) physics->Update(dt);
        const std::string label = "first dt " + std::to_string(c.dts[0]);
        EXPECT_NEAR(Find<Transform>(bodyObject)->position.x, c.steps * Physics::kStep, 1e-7f) << label;
        EXPECT_FLOAT_EQ(physics->GetAccumulator(), c.accumulator) << label;
        EXPECT_FLOAT_EQ(physics->GetTotalTime(), c.totalTime) << label;
        overlord.UnregisterGameObject(bodyObject);
        physics->Update(Physics::kStep);  // empties the accumulator for the next case
    }
}

TEST_F(PhysicsTest, PausedPhysicsNeitherGathersTimeNorStepsButLogsTheTime) {
    MakeBody({}, [](Body& b) { b.vel = {1, 0, 0}; });
    physics->SetTotalTime(2.5f);
    physics->SetPaused(true);
    Frames({0.02f, 0.02f});
    EXPECT_EQ(Find<Transform>(bodyObject)->position.x, 0.0f);
    EXPECT_EQ(physics->GetAccumulator(), 0.0f);
    EXPECT_EQ(CountContaining(Rows(), "time2.5"), 2u);
}

TEST_F(PhysicsTest, ForcesAndTorquesIntegrateOverOneStep) {
    Body* pushed = MakeBody({}, [](Body& b) {
        b.persistForce = {10, 0, 0};
        b.instantForce = {0, 20, 0};
        b.instantTorque = {0, 0, 3};
    });
    const u32 pushedObject = bodyObject;
    Body* weightless = MakeBody({}, [](Body& b) {
        b.mass = 0;
        b.vel = {0, 0, 6};
        b.persistForce = {1000, 0, 0};
        b.persistTorque = {0, 1000, 0};
    });
    physics->Update(0.02f);

    EXPECT_NEAR(pushed->vel.x, 0.0166667f, 1e-7f);
    EXPECT_NEAR(Find<Transform>(pushedObject)->position.x, 0.00027778f, 1e-8f);
    EXPECT_NEAR(pushed->vel.y, 0.0333334f, 1e-7f);
    EXPECT_EQ(pushed->instantForce, D3DXVECTOR3(0, 0, 0));  // one step only
    EXPECT_EQ(pushed->instantTorque, D3DXVECTOR3(0, 0, 0));
    EXPECT_NEAR(pushed->angVel.z, 0.005f, 1e-7f);
    D3DXQUATERNION expected;
    const D3DXVECTOR3 zAxis(0, 0, 1);
    D3DXQuaternionRotationAxis(&expected, &zAxis, 0.005f * Physics::kStep);
    const D3DXQUATERNION turned = Find<Transform>(pushedObject)->rotation;
    EXPECT_NEAR(turned.z, expected.z, 1e-7f);
    EXPECT_NEAR(turned.w, expected.w, 1e-7f);

    // Mass 0: forces and torques do nothing, the velocity still moves it.
    EXPECT_EQ(weightless->vel, D3DXVECTOR3(0, 0, 6));
    EXPECT_EQ(weightless->angVel, D3DXVECTOR3(0, 0, 0));
    EXPECT_NEAR(Find<Transform>(bodyObject)->position.z, 6 * Physics::kStep, 1e-6f);
    ExpectNear(GetObjectVelocity(pushedObject), {10, 0, 0});  // the body's forces
}

TEST_F(PhysicsTest, ABodyWithoutTransformIsLeftAlone) {
    GameObject* object = factory.NewGameObject();
    auto* body = new Body;
    body->persistForce = {10, 0, 0};
    object->AddComponent(body);
    object->Init();
    object->AnnounceComponents();
    physics->Update(0.02f);
    EXPECT_EQ(body->vel, D3DXVECTOR3(0, 0, 0));
}

TEST_F(PhysicsTest, BodiesMoveThenCrawlersThenEveryMovedObjectIsRefreshed) {
    MakeBody({}, [](Body& b) { b.vel = {60, 0, 0}; });
    const u32 first = bodyObject;
    auto* crawler = new SplineCrawler;
    crawler->persistVelocity = 60;
    crawler->splineGameObjectID = MakePath({{0, 0, 0}, {100, 0, 0}});
    const u32 crawlerObject = MakeObject({}, crawler);
    AddProbe(crawlerObject);
    MakeBody({}, [](Body& b) { b.vel = {0, 60, 0}; });
    const u32 second = bodyObject;

    physics->Update(0.02f);
    ASSERT_EQ(refreshes.size(), 3u);
    EXPECT_EQ(refreshes[0].objectId, first);
    EXPECT_EQ(refreshes[1].objectId, second);
    EXPECT_EQ(refreshes[2].objectId, crawlerObject);
    // Refreshed after every move of the step: the crawler had moved already.
    EXPECT_NEAR(refreshes[0].position.x, 1.0f, 1e-4f);
    EXPECT_NEAR(crawler->distance, 1.0f, 1e-4f);
    EXPECT_GT(refreshes[2].position.x, 0.9f);
}

TEST_F(PhysicsTest, BulletsFarBehindTheFocusInWorldZAreRemoved) {
    // A carrier far ahead holds a bullet at local z 0: its world z is 1000.
    const u32 carrier = MakeObject({0, 0, 1000}, nullptr);
    auto makeBullet = [&](const D3DXVECTOR3& at, u32 parent) {
        Body* body = MakeBody(at);
        GameObject* object = overlord.GetGameObject(bodyObject);
        object->SetArchetypeName("Bullet");
        if (parent) object->SetParent(parent);
        return body;
    };
    makeBullet({0, 0, 0}, carrier);
    const u32 carried = bodyObject;
    makeBullet({0, 0, 0}, 0);
    const u32 behind = bodyObject;
    Body* other = MakeBody({0, 0, 0});  // not a bullet
    other->vel = {1, 0, 0};
    const u32 notBullet = bodyObject;
    const u32 focus = MakeObject({0, 0, 150}, nullptr);

    physics->Update(0.02f);  // no focus yet: every bullet stays
    EXPECT_TRUE(Alive(behind));

    Broadcast(kMsgFocusObject, 0, focus);
    physics->Update(0.02f);
    EXPECT_TRUE(Alive(carried));
    EXPECT_FALSE(Alive(behind));
    EXPECT_TRUE(Alive(notBullet));
    EXPECT_NEAR(Find<Transform>(notBullet)->position.x, 2 * Physics::kStep, 1e-6f);
}

TEST_F(PhysicsTest, DeadIdsLeaveTheListsAsAStepMeetsThem) {
    std::vector<u32> objects;
    for (int i = 0; i < 10; ++i) {
        MakeBody();
        objects.push_back(bodyObject);
        auto* crawler = new SplineCrawler;
        objects.push_back(MakeObject({}, crawler));
    }
    ASSERT_EQ(physics->GetBodyIds().Size(), 10u);
    for (size_t i = 0; i < objects.size(); i += 4) {
        overlord.UnregisterGameObject(objects[i]);      // a body's object
        overlord.UnregisterGameObject(objects[i + 1]);  // a crawler's object
    }
    NextFrame();  // deleted
    physics->Update(0.02f);
    EXPECT_EQ(physics->GetBodyIds().Size(), 5u);
    EXPECT_EQ(physics->GetCrawlerIds().Size(), 5u);
    physics->Clear();
    EXPECT_EQ(physics->GetBodyIds().Size(), 0u);
}

TEST_F(PhysicsTest, TheFocusIsAnIdThatSurvivesAClearAndItsObject) {
    const u32 focus = MakeObject({0, 0, 500}, nullptr);
    Broadcast(kMsgFocusObject, 0, focus);
    physics->Clear();
    EXPECT_EQ(physics->GetFocusObjectId(), focus);
    overlord.UnregisterGameObject(focus);
    NextFrame();  // the focus Transform is deleted
    MakeBody({0, 0, 0});
    overlord.GetGameObject(bodyObject)->SetArchetypeName("Bullet");
    physics->Update(0.02f);  // the sanitizer build checks nothing reads it
    EXPECT_TRUE(Alive(bodyObject));

    // Any argument names the focus.
    const u32 next = MakeObject({}, nullptr);
    SendToSystem(Kind<u32>{kMsgFocusObject.type, 7}, physics->GetTypeId(), 0, next);
    EXPECT_EQ(physics->GetFocusObjectId(), next);
}

TEST_F(PhysicsTest, DeactivateThenActivateKeepsEverySubscription) {
    const u32 id = physics->GetTypeId();
    ASSERT_TRUE(hub.IsSubscribed(kMsgFocusObject, id));
    physics->Deactivate();
    EXPECT_FALSE(hub.IsSubscribed(kMsgFocusObject, id));
    EXPECT_FALSE(hub.IsSubscribed(ComponentAnnounced(TypeId<Body>::Get()), id));
    const size_t recorded = physics->GetSubscriptions().size();
    physics->Activate();
    for (const auto& [type, argument] : physics->GetSubscriptions())
        EXPECT_TRUE(hub.IsSubscribed(type, argument, id)) << type << ", " << argument;
    EXPECT_TRUE(hub.IsSubscribed(kMsgFocusObject, id));
    EXPECT_EQ(physics->GetSubscriptions().size(), recorded);

    Broadcast(kMsgDebugDraw, 0, true);
    EXPECT_TRUE(physics->IsDebugDrawing());
}

TEST_F(PhysicsTest, BrokenBodiesGiveOneRowAndAreLeftOut) {
    const struct {
        const char* member;
        std::function<void(Body&)> spoil;
    } cases[] = {
        {"mass is not a number", [](Body& b) { b.mass = NAN; }},
        {"vel is not a number", [](Body& b) { b.vel.y = NAN; }},
        {"persistTorque is not a number", [](Body& b) { b.persistTorque.z = INFINITY; }},
        {"the step leaves the float range", [](Body& b) { b.mass = 1e-3f, b.persistForce.x = 3e38f; }},
    };
    std::vector<u32> broken;
    for (const auto& c : cases) {
        MakeBody({}, c.spoil);
        broken.push_back(bodyObject);
    }
    Body* healthy = MakeBody({}, [](Body& b) { b.vel = {1, 0, 0}; });
    for (int i = 0; i < 3; ++i) physics->Update(0.02f);

    EXPECT_NEAR(Find<Transform>(bodyObject)->position.x, 3 * Physics::kStep, 1e-6f);
    EXPECT_EQ(healthy->vel, D3DXVECTOR3(1, 0, 0));
    const std::vector<std::string> rows = Rows();
    for (size_t i = 0; i < broken.size(); ++i) {
        const D3DXVECTOR3 p = Find<Transform>(broken[i])->position;
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) << cases[i].member;
        EXPECT_EQ(CountContaining(rows, "Body on object " + std::to_string(broken[i]) + ": " + cases[i].member), 1u)
            << cases[i].member;
    }
}
