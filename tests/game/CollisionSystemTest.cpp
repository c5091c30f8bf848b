#include <algorithm>
#include <random>
#include <string>

#include "CombatWorld.h"
#include "engine/Logger.h"
#include "game/physics/CylinderCollision.h"
#include "game/physics/PairTests.h"
#include "game/physics/Physics.h"

namespace {

constexpr float kStep = 0.0166667f;
using Hits = std::vector<std::pair<u32, u32>>;  // (receiver, sender)

class CollisionSystemTest : public CombatWorld {
protected:
    CollisionSystemTest() : system(AddCollisionSystem()) {}

    u32 Focus(const D3DXVECTOR3& at) {
        focus = Make(at, {});
        Broadcast(kMsgFocusObject, 0, focus);
        return focus;
    }
    Hits Step() {
        Inbox().clear();
        system->Update(kStep);
        return Got(kMsgCollision.type, kMsgCollision.argument);
    }

    CollisionSystem* system;
    u32 focus = 0;
};

TEST_F(CollisionSystemTest, FarCollidersJoinOnceTheFocusComesNearAndThenStay) {
    Focus({0, 0, 0});
    const u32 a = Make({0, 0, 1500}, {Sphere(1)});
    const u32 b = Make({0, 0, 1501}, {Sphere(1)});
    EXPECT_TRUE(Step().empty());
    MoveTo(focus, {0, 0, 501});  // 999 from the nearer one, 1000 from the other
    EXPECT_TRUE(Step().empty());
    EXPECT_TRUE(system->GetPending().count(b));
    MoveTo(focus, {0, 0, 600});
    EXPECT_EQ(Step(), (Hits{{b, a}}));
    MoveTo(focus, {0, 0, -5000});
    EXPECT_EQ(Step(), (Hits{{b, a}}));
}

TEST_F(CollisionSystemTest, WithoutFocusNothingEntersTheSweep) {
    Make({0, 0, 0}, {Sphere(1)});
    Make({0, 0, 1}, {Sphere(1)});
    EXPECT_TRUE(Step().empty());
    EXPECT_EQ(system->GetSweepList().Size(), 0u);
}

TEST_F(CollisionSystemTest, GroupTableDecidesWhichOverlappingPairsCollide) {
    const struct {
        int first, second;
        bool collide;
    } cases[] = {
        {1, 4, false}, {4, 1, false}, {2, 3, false}, {3, 2, false}, {3, 4, false}, {4, 3, false},
        {1, 2, true},  {2, 1, true},  {1, 3, true},  {3, 1, true},  {2, 4, true},  {4, 2, true},
        {0, 0, true},  {0, 4, true},  {2, 2, false}, {5, 1, true},
    };
    Focus({});
    for (const auto& c : cases) {
        system->Clear();
        const u32 first = Make({0, 0, 0}, {Sphere(1, c.first)});
        const u32 second = Make({0, 0, 1}, {Sphere(1, c.second)});
        const Hits expected = c.collide ? Hits{{second, first}} : Hits{};
        EXPECT_EQ(Step(), expected) << c.first << "-" << c.second;
    }
}

TEST_F(CollisionSystemTest, OnlyTheLaterEntryInSweepOrderReceives) {
    Focus({});
    const u32 low = Make({0, 0, 5}, {Sphere(1)});
    const u32 high = Make({0, 0, 6}, {Sphere(1)});
    EXPECT_EQ(Step(), (Hits{{high, low}}));
    // Swapped places: after the refreshes the list re-sorts and the order turns.
    MoveTo(low, {0, 0, 8});
    SendToObject(kMsgRefresh, low, 0);
    MoveTo(high, {0, 0, 7.5f});
    SendToObject(kMsgRefresh, high, 0);
    EXPECT_EQ(Step(), (Hits{{high, low}}));  // the motion of the swap widens low's extent to 4
    SendToObject(kMsgRefresh, low, 0);
    SendToObject(kMsgRefresh, high, 0);  // standing still: no motion
    EXPECT_EQ(Step(), (Hits{{low, high}}));
}

TEST_F(CollisionSystemTest, GoneObjectsCountOnceThenLeaveAndPendingDropsThem) {
    Focus({});
    const u32 a = Make({0, 0, 0}, {Sphere(1, 1)});
    const u32 b = Make({0, 0, 1}, {Sphere(1, 2)});
    const u32 far = Make({0, 0, 5000}, {Sphere(1)});
    Step();
    EXPECT_EQ(system->GetCandidateCount(), 1);
    overlord.UnregisterGameObject(b);
    overlord.UnregisterGameObject(far);
    EXPECT_TRUE(Step().empty());
    EXPECT_EQ(system->GetCandidateCount(), 1);  // still counted in the update that notices
    EXPECT_EQ(system->GetSweepList().Size(), 2u);
    EXPECT_FALSE(system->GetPending().count(far));
    NextFrame();
    EXPECT_EQ(system->GetSweepList().Size(), 1u);
    EXPECT_NE(system->GetSweepList().Find(a), nullptr);
}

TEST_F(CollisionSystemTest, ClearEmptiesTheSweepAndPendingButKeepsTheFocus) {
    Focus({});
    const u32 a = Make({0, 0, 0}, {Sphere(1)});
    Make({0, 0, 3000}, {Sphere(1)});
    Step();
    system->Clear();
    EXPECT_EQ(system->GetSweepList().Size(), 0u);
    EXPECT_TRUE(system->GetPending().empty());
    EXPECT_EQ(system->GetFocusObject(), focus);
    Broadcast(ComponentAnnounced(TypeId<SphereCollision>::Get()), a, Find<SphereCollision>(a)->GetId());
    Step();
    EXPECT_NE(system->GetSweepList().Find(a), nullptr);
}

TEST_F(CollisionSystemTest, ReactivatedSystemStillFollowsTheFocus) {
    system->Deactivate();
    system->Activate();
    const u32 ship = Focus({});
    EXPECT_EQ(system->GetFocusObject(), ship);
    overlord.UnregisterGameObject(ship);
    NextFrame();  // the ship is deleted; the system kept only its id
    Make({0, 0, 0}, {Sphere(1)});
    EXPECT_TRUE(Step().empty());
}

TEST_F(CollisionSystemTest, CylinderAnnouncementEntersAtOnceAndNeverPairs) {
    auto* cylinder = new CylinderCollision;
    const u32 c = Make({}, {cylinder});
    EXPECT_NE(system->GetSweepList().Find(c), nullptr);
    Focus({});
    Make({}, {Sphere(5)});
    EXPECT_TRUE(Step().empty());
    EXPECT_EQ(system->GetCandidateCount(), 1);
}

// The pair step as a plain double loop over the sorted list: every candidate
// counted, then tested in order. Its own copy of the rules.
long long LiteralLoop(const SweepList& list, Hits& hits) {
    auto excluded = [](int a, int b) {
        return (a == 1 && b == 4) || (a == 4 && b == 1) || (a == 2 && b == 3) || (a == 3 && b == 2) ||
               (a == 3 && b == 4) || (a == 4 && b == 3);
    };
    std::vector<std::pair<const SweepEntry*, const SweepEntry*>> candidates;
    for (size_t i = 0; i < list.Size(); ++i) {
        const SweepEntry& a = list.At(i);
        for (size_t j = i + 1; j < list.Size(); ++j) {
            const SweepEntry& b = list.At(j);
            if (a.group == 0 || b.group == 0 ||
                (a.group != b.group && a.minExtent <= b.minExtent && b.minExtent <= a.position.z + a.radius + a.motion))
                candidates.emplace_back(&a, &b);
        }
    }
    for (const auto& [a, b] : candidates) {
        const auto* sa = Overlord::FindComponent<SphereCollision>(a->objectId);
        const auto* sb = Overlord::FindComponent<SphereCollision>(b->objectId);
        if (sa && sb && SpherePairTest(*sa, *sb) && !excluded(a->group, b->group))
            hits.emplace_back(b->objectId, a->objectId);
    }
    return static_cast<long long>(candidates.size());
}

TEST_F(CollisionSystemTest, SweepSendsWhatTheLiteralLoopSendsOnRandomLayouts) {
    std::mt19937 random(1234);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    Focus({0, 0, 100});
    std::vector<u32> objects;
    std::vector<std::string> expectedRows;
    for (int layout = 0; layout < 6; ++layout) {
        for (int i = 0; i < 150; ++i) {
            // Places on a half-unit grid, so extents tie often.
            const D3DXVECTOR3 at(std::round(unit(random) * 40) * 0.5f, std::round(unit(random) * 20) * 0.5f,
                                 std::round(unit(random) * 400) * 0.5f);
            SphereCollision* sphere =
                Sphere(0.25f + std::round(unit(random) * 8) * 0.25f, static_cast<int>(unit(random) * 5.99f));
            objects.push_back(Make(at, {sphere}));
            if (unit(random) < 0.1f) sphere->SetEnabled(false);
        }
        for (int step = 0; step < 4; ++step) {
            for (u32 id : objects) {
                if (!Alive(id)) continue;
                const float roll = unit(random);
                if (roll < 0.03f) {
                    overlord.UnregisterGameObject(id);
                } else if (roll < 0.5f) {
                    Transform* t = Find<Transform>(id);
                    MoveTo(id, t->worldPosition + D3DXVECTOR3(unit(random) - 0.5f, 0, 4 * (unit(random) - 0.5f)));
                    if (roll < 0.4f) SendToObject(kMsgRefresh, id, 0);  // the others move unseen
                }
            }
            const Hits sent = Step();
            Hits literal;
            const long long count = LiteralLoop(system->GetSweepList(), literal);
            EXPECT_EQ(sent, literal) << "layout " << layout << " step " << step;
            EXPECT_EQ(system->GetCandidateCount(), count);
            EXPECT_FALSE(sent.empty());
            expectedRows.push_back("Considering " + std::to_string(count) + " pairs");
            NextFrame();
        }
    }
    std::vector<std::string> rows;
    for (const std::string& row : Rows())
        if (row.find("Considering") != std::string::npos) rows.push_back(row);
    EXPECT_EQ(rows, expectedRows);
}

}  // namespace

namespace {

// Physics runs its cylinder tests itself (queued) and its child system for
// the sphere pairs (at once).
class PhysicsCollisionTest : public CombatWorld {
protected:
    PhysicsCollisionTest() {
        engine->AddSystem(physics);
        physics->Init();
    }
    Physics* physics = new Physics;
};

TEST_F(PhysicsCollisionTest, CylinderHitsArriveNextFrameAndSpherePairsAtOnce) {
    auto* cylinder = new CylinderCollision;
    cylinder->radius = 1;
    cylinder->collisionGroup = 3;
    const u32 post = Make({0, 0, 0}, {cylinder});
    const u32 ship = Make({2, 0, 0}, {Sphere(1)});
    const u32 rock = Make({3, 0, 0}, {Sphere(1)});
    const u32 far = Make({0, 0, 50}, {Sphere(1)});
    Broadcast(kMsgFocusObject, 0, ship);
    ASSERT_EQ(physics->GetChildCount(), 1u);

    physics->Update(0.02f);
    const Hits spheres = Got(kMsgCollision.type, kMsgCollision.argument);
    ASSERT_EQ(spheres.size(), 1u);
    EXPECT_EQ(spheres[0].second, spheres[0].first == ship ? rock : ship);
    Inbox().clear();
    NextFrame();
    EXPECT_EQ(Got(kMsgCollision.type, kMsgCollision.argument), (Hits{{ship, post}}));
    (void)far;

    const std::vector<std::string> rows = Rows();
    const auto boom =
        std::find_if(rows.begin(), rows.end(), [](const std::string& r) { return r.rfind("BOOM!", 0) == 0; });
    ASSERT_NE(boom, rows.end());
    EXPECT_EQ(*boom, "BOOM! between " + std::to_string(cylinder->GetId()) + " of group: 3 and " +
                         std::to_string(Find<SphereCollision>(ship)->GetId()) +
                         " of group: 0");  // the line break ends the row
    EXPECT_EQ(CountContaining(rows, "BOOM!"), 1u);
    EXPECT_EQ(CountContaining(rows, "leaving Physics::CollisionHandler"), 1u);
    EXPECT_EQ(CountContaining(rows, "Considering 6 pairs"), 1u);
}

}  // namespace
