#include <cmath>

#include "TrackWorld.h"

namespace {

constexpr float kStep = 0.0166667f;  // the physics step

class SplineCrawlerTest : public TrackWorld {
protected:
    // A crawler on its own object, bound to pathId, initialised.
    SplineCrawler* MakeCrawler(float velocity, u32 pathId = 0, const D3DXVECTOR3& origin = {}) {
        auto* crawler = new SplineCrawler;
        crawler->persistVelocity = velocity;
        crawler->splineGameObjectID = pathId;
        crawlerObject = MakeObject(origin, crawler);
        return crawler;
    }
    void Steps(SplineCrawler* crawler, int count) {
        for (int i = 0; i < count; ++i) crawler->Update(kStep);
    }
    u32 crawlerObject = 0;
};

void ExpectNear(const D3DXVECTOR3& a, const D3DXVECTOR3& b, float tolerance) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

}  // namespace

TEST_F(SplineCrawlerTest, PersistVelocityCarriesItOneStepAtATime) {
    SplineCrawler* crawler = MakeCrawler(60);
    Steps(crawler, 60);
    EXPECT_FLOAT_EQ(crawler->distance, 60.000061f);
    EXPECT_FLOAT_EQ(crawler->currentSpeed, 60.0f);
    EXPECT_NEAR(crawler->averageSpeed, 60.0f, 1e-3f);

    SplineCrawler* slow = MakeCrawler(2);
    slow->minVelocity = 5;
    slow->Update(kStep);
    EXPECT_EQ(slow->persistVelocity, 5.0f);  // raised to the minimum at its first step
    slow->frozen = true;
    const float before = slow->distance;
    Steps(slow, 10);
    EXPECT_EQ(slow->distance, before);
}

TEST_F(SplineCrawlerTest, TheAverageSpeedCountsOnlyMovement) {
    SplineCrawler* crawler = MakeCrawler(60);
    crawler->frozen = true;  // the start countdown
    Steps(crawler, 300);
    EXPECT_EQ(crawler->distance, 0.0f);
    EXPECT_EQ(crawler->travelled, 0.0f) << "a frozen crawler adds no distance";
    EXPECT_EQ(crawler->elapsed, 0.0f);
    EXPECT_EQ(crawler->averageSpeed, 0.0f);
    crawler->frozen = false;
    Steps(crawler, 60);
    EXPECT_FLOAT_EQ(crawler->travelled, crawler->distance);
    EXPECT_NEAR(crawler->averageSpeed, 60.0f, 1e-3f) << "the 5 s wait does not count";
    crawler->frozen = true;
    Steps(crawler, 60);
    EXPECT_NEAR(crawler->averageSpeed, 60.0f, 1e-3f);
}

TEST_F(SplineCrawlerTest, SpeedUpsHoldThenReturnToTheInitialVelocity) {
    SplineCrawler* crawler = MakeCrawler(60);
    Broadcast(kMsgSpeedBonus, 0, 5.0f);
    Broadcast(kMsgSpeedBonus, 0, 5.0f);
    EXPECT_EQ(crawler->bonusTimer, 2.0f);
    EXPECT_EQ(crawler->persistVelocity, 70.0f);
    for (int i = 0; i < 3; ++i) Broadcast(kMsgSpeedBonus, 0, 5.0f);
    EXPECT_EQ(crawler->bonusTimer, 3.0f);  // positiveBonusWaitTime

    Steps(crawler, 185);  // the hold runs out after 3 s (180 steps)
    EXPECT_FALSE(crawler->bonusPending);
    EXPECT_TRUE(crawler->returningDown);
    EXPECT_LT(crawler->persistVelocity, 85.0f);
    Steps(crawler, 60);  // 25 units/s at 75 units/s^2 take a third of a second
    EXPECT_FALSE(crawler->returningDown);
    EXPECT_EQ(crawler->persistVelocity, 60.0f);
    Steps(crawler, 30);
    EXPECT_EQ(crawler->persistVelocity, 60.0f);  // held exactly

    Broadcast(kMsgSetSpeed, 0, 20.0f);
    EXPECT_EQ(crawler->persistVelocity, 20.0f);
    EXPECT_EQ(crawler->bonusTimer, 1.0f);  // a positive value: one second more
    Broadcast(kMsgRestoreSpeed, 0);
    EXPECT_EQ(crawler->persistVelocity, 60.0f);
}

TEST_F(SplineCrawlerTest, BonusesThatMeanNothingAreIgnored) {
    struct Case {
        const char* what;
        bool slowed;
        float bonus;
    } cases[] = {{"zero", false, 0.0f},
                 {"slow-down while slowed", true, -5.0f},
                 {"NaN", false, NAN},
                 {"infinite", false, INFINITY}};
    for (const Case& c : cases) {
        SplineCrawler* crawler = MakeCrawler(60);
        crawler->slowed = c.slowed;
        Broadcast(kMsgSpeedBonus, 0, c.bonus);
        Broadcast(kMsgSetSpeed, 0, c.bonus);
        EXPECT_EQ(crawler->persistVelocity, 60.0f) << c.what;
        EXPECT_FALSE(crawler->bonusPending) << c.what;
        overlord.UnregisterGameObject(crawlerObject);
    }
}

TEST_F(SplineCrawlerTest, BoostReleaseStartsTheReturnDown) {
    SplineCrawler* crawler = MakeCrawler(60);
    crawler->boosting = true;
    Broadcast(kMsgBoostReleased, 0, 0u);
    EXPECT_FALSE(crawler->boosting);
    EXPECT_TRUE(crawler->returningDown);
    EXPECT_EQ(crawler->persistAcceleration, -75.0f);
}

TEST_F(SplineCrawlerTest, PlacesItsObjectOnTheTrackFacingAhead) {
    const u32 path = MakePath({{0, 0, 0}, {100, 0, 0}}, D3DXVECTOR3(0, 0, 50));
    SplineCrawler* crawler = MakeCrawler(60, path);
    crawler->lookAheadDistance = 1;
    Steps(crawler, 30);
    Transform* transform = Find<Transform>(crawlerObject);
    ExpectNear(transform->worldPosition, D3DXVECTOR3(crawler->distance, 0, 50), 1e-2f);
    ExpectNear(transform->GetForward(), D3DXVECTOR3(1, 0, 0), 1e-4f);
    ExpectNear(crawler->velocityVector, D3DXVECTOR3(60, 0, 0), 1e-3f);
    ExpectNear(GetObjectVelocity(crawlerObject), D3DXVECTOR3(60, 0, 0), 1e-3f);
}

TEST_F(SplineCrawlerTest, AtAnOpenTracksEndTheObjectStaysAndDistanceGrows) {
    const u32 path = MakePath({{0, 0, 0}, {10, 0, 0}});
    SplineCrawler* crawler = MakeCrawler(60, path);
    Steps(crawler, 9);  // 9 units on
    const D3DXVECTOR3 last = Find<Transform>(crawlerObject)->worldPosition;
    EXPECT_GT(last.x, 8.0f);
    Steps(crawler, 30);
    EXPECT_EQ(Find<Transform>(crawlerObject)->worldPosition, last);
    EXPECT_GT(crawler->distance, 30.0f);
}

TEST_F(SplineCrawlerTest, CoincidentPointsKeepTheRotation) {
    const u32 path = MakePath({{0, 0, 0}, {10, 0, 0}});
    SplineCrawler* crawler = MakeCrawler(60, path);
    crawler->lookAheadDistance = 0;
    const D3DXQUATERNION turned(0, 0.6f, 0, 0.8f);
    Find<Transform>(crawlerObject)->SetRotation(turned);
    Steps(crawler, 3);
    const Transform* transform = Find<Transform>(crawlerObject);
    EXPECT_EQ(transform->worldRotation, turned);
    EXPECT_GT(transform->worldPosition.x, 2.0f);
}

TEST_F(SplineCrawlerTest, AnnouncementArrivesInTheNextDrain) {
    SplineCrawler* announced = nullptr;
    std::vector<u32> owners;
    struct Listener : Component<Listener> {
        std::vector<u32>* owners = nullptr;
        void HandleMessage(Message* m) override {
            if (const u32* owner = m->Read(kMsgCrawlerAnnounced)) owners->push_back(*owner);
        }
    };
    auto* listener = new Listener;
    listener->owners = &owners;
    MakeObject({}, listener);
    listener->Subscribe(kMsgCrawlerAnnounced);
    announced = MakeCrawler(10);
    EXPECT_TRUE(owners.empty());
    hub.DispatchQueued();
    ASSERT_EQ(owners.size(), 1u);
    EXPECT_EQ(owners[0], announced->GetOwner());
}

TEST_F(SplineCrawlerTest, UnregisteredCrawlerLeavesNoSubscriptions) {
    SplineCrawler* crawler = MakeCrawler(60);
    const u32 id = crawler->GetId();
    overlord.UnregisterGameObject(crawlerObject);
    NextFrame();
    for (const auto kind : {kMsgSpeedBonus.type, kMsgRestoreSpeed.type, kMsgBoostReleased.type, kMsgSetSpeed.type})
        EXPECT_FALSE(hub.IsSubscribed(kind, 0, id)) << kind;
    Broadcast(kMsgSpeedBonus, 0, 5.0f);  // reaches nothing (the sanitizer build checks)
}

TEST_F(SplineCrawlerTest, HostileSettingsGiveOneRowAndNoNaN) {
    SplineCrawler* unbound = MakeCrawler(60, 987654);
    const u32 unboundObject = crawlerObject;
    Steps(unbound, 20);
    EXPECT_GT(unbound->distance, 19.0f);  // still counts, is never placed

    SplineCrawler* broken = MakeCrawler(NAN, MakePath({{0, 0, 0}, {10, 0, 0}}));
    const u32 brokenObject = crawlerObject;
    Steps(broken, 20);
    broken->Update(NAN);
    EXPECT_EQ(broken->distance, 0.0f);
    EXPECT_EQ(Find<Transform>(brokenObject)->worldPosition, D3DXVECTOR3(0, 0, 0));

    SplineCrawler* offset = MakeCrawler(5, MakePath({{0, 0, 0}, {10, 0, 0}}));
    offset->velocityOffset = NAN;
    offset->Update(kStep);
    Steps(offset, 5);
    EXPECT_TRUE(std::isfinite(offset->distance));

    const std::vector<std::string> rows = Rows();
    EXPECT_EQ(CountContaining(rows, "object " + std::to_string(unboundObject) + ": splineGameObjectID 987654"), 1u);
    EXPECT_EQ(CountContaining(rows, "object " + std::to_string(brokenObject) + ": persistVelocity"), 1u);
    EXPECT_EQ(CountContaining(rows, "object " + std::to_string(crawlerObject) + ": the step gives"), 1u);
}
