#include <cmath>
#include <string>
#include <vector>

#include "TrackWorld.h"
#include "game/physics/Body.h"
#include "game/physics/Physics.h"

namespace {

// Records, in one shared sequence, each refresh its object receives and
// where the object stood then.
std::vector<std::pair<u32, D3DXVECTOR3>>* gRefreshes = nullptr;

class RefreshProbe : public Component<RefreshProbe> {
public:
    void HandleMessage(Message* message) override {
        if (message->Is(kMsgRefresh) && gRefreshes)
            gRefreshes->push_back({GetOwner(), Overlord::FindComponent<Transform>(GetOwner())->worldPosition});
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

    // An object at origin with a refresh probe and a Body set up by `setup`;
    // its id goes to bodyObject.
    Body* MakeBody(const D3DXVECTOR3& origin = {}, const std::function<void(Body&)>& setup = {}) {
        auto* body = new Body;
        if (setup) setup(*body);
        bodyObject = MakeObject(origin, body);
        overlord.GetGameObject(bodyObject)->AddComponent(new RefreshProbe);
        return body;
    }
    D3DXVECTOR3 At(u32 objectId) { return Find<Transform>(objectId)->position; }

    Physics* physics = new Physics;
    std::vector<std::pair<u32, D3DXVECTOR3>> refreshes;
    u32 bodyObject = 0;
};

}  // namespace

TEST_F(PhysicsTest, AtMostOneFixedStepAFrameAndTheRestIsDropped) {
    const struct {
        std::vector<float> dts;
        bool paused;
        int steps;
        float accumulator, totalTime;
    } cases[] = {
        // The level time is the simulated time: one step, whatever the frame's dt.
        {{0.02f}, false, 1, 0.0f, Physics::kStep},
        {{0.01f}, false, 0, 0.01f, 0.0f},
        {{0.01f, 0.01f}, false, 1, 0.0f, Physics::kStep},
        {{0.1f}, false, 1, 0.0f, Physics::kStep},
        {{10.0f}, false, 1, 0.0f, Physics::kStep},
        {{NAN, -1.0f, INFINITY, 0.02f}, false, 1, 0.0f, Physics::kStep},
        {{0.02f, 0.02f}, true, 0, 0.0f, 0.0f},
    };
    for (const auto& c : cases) {
        physics->SetTotalTime(0.0f);
        physics->SetPaused(c.paused);
        MakeBody({}, [](Body& b) { b.vel = {1, 0, 0}; });
        for (float dt : c.dts) physics->Update(dt);
        const std::string label = std::to_string(c.dts.size()) + " frames from " + std::to_string(c.dts[0]);
        EXPECT_NEAR(At(bodyObject).x, c.steps * Physics::kStep, 1e-7f) << label;
        EXPECT_FLOAT_EQ(physics->GetAccumulator(), c.accumulator) << label;
        EXPECT_FLOAT_EQ(physics->GetTotalTime(), c.totalTime) << label;
        overlord.UnregisterGameObject(bodyObject);
        physics->SetPaused(false);
        physics->Update(Physics::kStep);  // empties the accumulator for the next case
    }
    const std::vector<std::string> rows = Rows();  // "time" every frame, paused ones too
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [](const std::string& r) { return r.rfind("time", 0) == 0; }),
              19);
}

TEST_F(PhysicsTest, ASceneClearStartsTheLevelClockAtZero) {
    physics->Update(0.02f);
    physics->Update(0.03f);
    physics->Update(0.01f);  // left in the accumulator
    ASSERT_FLOAT_EQ(physics->GetTotalTime(), 2 * Physics::kStep);
    physics->Clear();
    EXPECT_EQ(physics->GetTotalTime(), 0.0f);
    EXPECT_EQ(physics->GetAccumulator(), 0.0f);
    physics->Update(0.01f);
    EXPECT_EQ(physics->GetTotalTime(), 0.0f) << "no step yet";
    physics->Update(0.02f);
    EXPECT_FLOAT_EQ(physics->GetTotalTime(), Physics::kStep);
}

TEST_F(PhysicsTest, ForcesAndTorquesIntegrateOverOneStep) {
    Body* pushed = MakeBody({}, [](Body& b) {
        b.persistForce = {10, 0, 0};
        b.instantForce = {0, 20, 0};
        b.instantTorque = {0, 0, 3};
    });
    const u32 pushedObject = bodyObject;
    Body* weightless = MakeBody({}, [](Body& b) {
        b.mass = 0, b.vel = {0, 0, 6}, b.persistForce = {1000, 0, 0}, b.persistTorque = {0, 1000, 0};
    });
    GameObject* bare = factory.NewGameObject();  // no Transform: left alone
    auto* unmoved = new Body;
    unmoved->persistForce = {10, 0, 0};
    bare->AddComponent(unmoved);
    bare->AnnounceComponents();
    physics->Update(0.02f);

    EXPECT_NEAR(pushed->vel.x, 0.0166667f, 1e-7f);
    EXPECT_NEAR(At(pushedObject).x, 0.00027778f, 1e-8f);
    EXPECT_NEAR(pushed->vel.y, 0.0333334f, 1e-7f);
    EXPECT_EQ(pushed->instantForce, D3DXVECTOR3(0, 0, 0));  // one step only
    EXPECT_EQ(pushed->instantTorque, D3DXVECTOR3(0, 0, 0));
    EXPECT_NEAR(Find<Transform>(pushedObject)->rotation.z, std::sin(0.005f * Physics::kStep / 2), 1e-9f);
    EXPECT_EQ(GetObjectVelocity(pushedObject), D3DXVECTOR3(10, 0, 0));  // the body's forces
    // Mass 0: forces and torques do nothing, the velocity still moves it.
    EXPECT_EQ(weightless->vel, D3DXVECTOR3(0, 0, 6));
    EXPECT_EQ(weightless->angVel, D3DXVECTOR3(0, 0, 0));
    EXPECT_NEAR(At(bodyObject).z, 6 * Physics::kStep, 1e-6f);
    EXPECT_EQ(unmoved->vel, D3DXVECTOR3(0, 0, 0));
}

TEST_F(PhysicsTest, BodiesMoveThenCrawlersThenEveryMovedObjectIsRefreshed) {
    MakeBody({}, [](Body& b) { b.vel = {60, 0, 0}; });
    const u32 first = bodyObject;
    auto* crawler = new SplineCrawler;
    crawler->persistVelocity = 60;
    crawler->splineGameObjectID = MakePath({{0, 0, 0}, {100, 0, 0}});
    const u32 crawlerObject = MakeObject({}, crawler);
    overlord.GetGameObject(crawlerObject)->AddComponent(new RefreshProbe);
    MakeBody({}, [](Body& b) { b.vel = {0, 60, 0}; });

    physics->Update(0.02f);
    ASSERT_EQ(refreshes.size(), 3u);
    EXPECT_EQ(refreshes[0].first, first);
    EXPECT_EQ(refreshes[1].first, bodyObject);
    EXPECT_EQ(refreshes[2].first, crawlerObject);
    EXPECT_NEAR(refreshes[0].second.x, 1.0f, 1e-4f);
    EXPECT_NEAR(refreshes[2].second.x, 1.0f, 5e-3f);  // refreshed after its move
}

TEST_F(PhysicsTest, BulletsFarBehindTheFocusInWorldZAreRemoved) {
    const u32 carrier = MakeObject({0, 0, 1000}, nullptr);
    const u32 focus = MakeObject({0, 0, 150}, nullptr);
    MakeBody();
    const u32 carried = bodyObject;  // local z 0 under the carrier: world z 1000
    overlord.GetGameObject(carried)->SetArchetypeName("Bullet");
    overlord.GetGameObject(carried)->SetParent(carrier);
    MakeBody();
    const u32 behind = bodyObject;
    overlord.GetGameObject(behind)->SetArchetypeName("Bullet");
    MakeBody();  // behind, but no bullet

    physics->Update(0.02f);  // no focus yet: every bullet stays
    EXPECT_TRUE(Alive(behind));
    Broadcast(kMsgFocusObject, 0, focus);
    physics->Update(0.02f);
    EXPECT_TRUE(Alive(carried));
    EXPECT_FALSE(Alive(behind));
    EXPECT_TRUE(Alive(bodyObject));
}

TEST_F(PhysicsTest, IdsOfGoneComponentsAndTheFocusAreNeverFollowed) {
    std::vector<u32> objects;
    for (int i = 0; i < 10; ++i) {
        MakeBody();
        objects.push_back(bodyObject);
        objects.push_back(MakeObject({}, new SplineCrawler));
    }
    const u32 focus = MakeObject({0, 0, 500}, nullptr);
    SendToSystem(Kind<u32>{kMsgFocusObject.type, 7}, physics->GetTypeId(), 0, focus);  // any argument
    physics->Clear();                                                                  // a scene clear under the focus
    EXPECT_EQ(physics->GetBodyIds().Size(), 0u);
    EXPECT_EQ(physics->GetFocusObjectId(), focus);
    MakeBody();  // a bullet: the step looks for the focus
    overlord.GetGameObject(bodyObject)->SetArchetypeName("Bullet");
    for (u32 id : objects) overlord.GetGameObject(id)->AnnounceComponents();
    for (size_t i = 0; i < objects.size(); i += 4) {
        overlord.UnregisterGameObject(objects[i]);      // a body's object
        overlord.UnregisterGameObject(objects[i + 1]);  // a crawler's object, mid-level
    }
    overlord.UnregisterGameObject(focus);
    NextFrame();  // all deleted: the sanitizer build checks nothing reads them
    physics->Update(0.02f);
    EXPECT_TRUE(Alive(bodyObject));
    EXPECT_EQ(physics->GetBodyIds().Size(), 6u);
    EXPECT_EQ(physics->GetCrawlerIds().Size(), 5u);
}

TEST_F(PhysicsTest, DeactivateThenActivateKeepsEverySubscription) {
    const u32 id = physics->GetTypeId();
    const size_t recorded = physics->GetSubscriptions().size();
    physics->Deactivate();
    EXPECT_FALSE(hub.IsSubscribed(kMsgFocusObject, id));
    physics->Activate();
    for (const auto& [type, argument] : physics->GetSubscriptions())
        EXPECT_TRUE(hub.IsSubscribed(type, argument, id)) << type << ", " << argument;
    EXPECT_TRUE(hub.IsSubscribed(kMsgFocusObject, id));
    EXPECT_EQ(physics->GetSubscriptions().size(), recorded);
    Broadcast(kMsgDebugDraw, 0, true);
    EXPECT_TRUE(physics->IsDebugDrawing());
}
