#include <limits>

#include "CombatWorld.h"
#include "game/physics/CylinderCollision.h"
#include "game/physics/PairTests.h"

namespace {

class ColliderTest : public CombatWorld {
protected:
    CylinderCollision* Cylinder(float radius, float axis, int group = 0) {
        auto* cylinder = new CylinderCollision;
        cylinder->radius = radius;
        cylinder->axis = axis;
        cylinder->collisionGroup = group;
        return cylinder;
    }
};

TEST_F(ColliderTest, UnsetRadiusAndRestitutionTakeTheBaseRadiusAndZero) {
    const SphereCollision sphere;
    const CylinderCollision cylinder;
    EXPECT_EQ(sphere.radius, sphere.baseRadius);
    EXPECT_EQ(sphere.baseRadius, 20.0f);
    EXPECT_EQ(sphere.restitution, 0.0f);
    EXPECT_EQ(cylinder.radius, 20.0f);
    EXPECT_EQ(cylinder.restitution, 0.0f);
}

TEST_F(ColliderTest, SpheresTouchingCountAsContact) {
    const struct {
        D3DXVECTOR3 apart;
        bool contact;
    } cases[] = {
        {{2.0f, 0, 0}, true},      {{2.0001f, 0, 0}, false}, {{0, 0, 2.0f}, true},
        {{0, 0, -2.0001f}, false}, {{0, 1.5f, 0}, true},
    };
    for (const auto& c : cases) {
        auto* a = Sphere(1);
        auto* b = Sphere(1);
        Make({10, 10, 10}, {a});
        Make(D3DXVECTOR3(10, 10, 10) + c.apart, {b});
        EXPECT_EQ(SpherePairTest(*a, *b), c.contact) << c.apart.x << " " << c.apart.y << " " << c.apart.z;
        EXPECT_EQ(SpherePairTest(*b, *a), c.contact);
    }
}

TEST_F(ColliderTest, CylinderTouchesAlongItsAxisAndAtItsRoundedEnds) {
    const struct {
        D3DXVECTOR3 sphereAt;
        float turnAboutZ;  // radians: the axis along world up turned
        bool contact;
    } cases[] = {
        {{2, 0, 0}, 0, true},
        {{0, 7, 0}, 0, true},
        {{2.01f, 0, 0}, 0, false},
        {{0, 7.01f, 0}, 0, false},
        {{0, -7, 0}, 0, true},
        {{1.4f, 6.4f, 0}, 0, true},   // beside the end: rounded
        {{1.5f, 6.5f, 0}, 0, false},  // the corner is cut off
        {{6.99f, 0, 0}, 1.5707964f, true},
        {{0, 7, 0}, 1.5707964f, false},
    };
    for (const auto& c : cases) {
        CylinderCollision* cylinder = Cylinder(1, 10);
        const u32 cylinderObject = Make({}, {cylinder});
        D3DXQUATERNION turn;
        const D3DXVECTOR3 z(0, 0, 1);
        D3DXQuaternionRotationAxis(&turn, &z, c.turnAboutZ);
        Find<Transform>(cylinderObject)->rotation = Find<Transform>(cylinderObject)->worldRotation = turn;
        auto* sphere = Sphere(1);
        Make(c.sphereAt, {sphere});
        EXPECT_EQ(CylinderPairTest(*cylinder, *sphere), c.contact)
            << c.sphereAt.x << " " << c.sphereAt.y << " turn " << c.turnAboutZ;
    }
}

TEST_F(ColliderTest, DisabledSphereIsHitByCylindersOnly) {
    auto* disabled = Sphere(1);
    auto* other = Sphere(1);
    CylinderCollision* cylinder = Cylinder(1, 10);
    Make({}, {disabled});
    Make({1, 0, 0}, {other});
    Make({1.5f, 0, 0}, {cylinder});
    disabled->SetEnabled(false);
    EXPECT_FALSE(SpherePairTest(*disabled, *other));
    EXPECT_FALSE(SpherePairTest(*other, *disabled));
    EXPECT_TRUE(CylinderPairTest(*cylinder, *disabled));
}

TEST_F(ColliderTest, EqualNonZeroGroupsNeverCollideNorDoBrokenNumbers) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        int groupA, groupB;
        float radiusA;
        D3DXVECTOR3 atB;
        bool contact;
    } cases[] = {
        {3, 3, 1, {1, 0, 0}, false},   {0, 0, 1, {1, 0, 0}, true},    {3, 0, 1, {1, 0, 0}, true},
        {0, 0, nan, {1, 0, 0}, false}, {0, 0, inf, {1, 0, 0}, false}, {0, 0, 1, {nan, 0, 0}, false},
    };
    for (const auto& c : cases) {
        auto* a = Sphere(c.radiusA, c.groupA);
        auto* b = Sphere(1, c.groupB);
        CylinderCollision* cylinder = Cylinder(c.radiusA, 10, c.groupA);
        Make({}, {a});
        Make({}, {cylinder});
        Make(c.atB, {b});
        EXPECT_EQ(SpherePairTest(*a, *b), c.contact) << c.groupA << "/" << c.groupB << " r " << c.radiusA;
        EXPECT_EQ(CylinderPairTest(*cylinder, *b), c.contact) << c.groupA << "/" << c.groupB << " r " << c.radiusA;
    }
}

// Records what the sphere colliders report (kMsgColliderMoved).
class MoveListener : public ISystem {
public:
    MoveListener() : ISystem(TypeId<MoveListener>::Get()) {}
    void HandleMessage(Message* m) override {
        if (const ColliderRecord* r = m->Read(kMsgColliderMoved)) records.push_back(*r);
    }
    std::vector<ColliderRecord> records;
};

TEST_F(ColliderTest, RefreshTracksDisplacementAndReportsThePlace) {
    auto* listener = new MoveListener;
    engine->AddSystem(listener);
    hub.Subscribe(listener, kMsgColliderMoved.type, kMsgColliderMoved.argument);
    auto* sphere = Sphere(2.5f);
    const u32 object = Make({1, 2, 3}, {sphere});

    SendToObject(kMsgRefresh, object, 0);
    EXPECT_EQ(sphere->displacement, D3DXVECTOR3(0, 0, 0));  // the first refresh only takes the place
    MoveTo(object, {4, 2, 7});
    SendToObject(kMsgRefresh, object, 0);
    EXPECT_EQ(sphere->displacement, D3DXVECTOR3(3, 0, 4));
    ASSERT_EQ(listener->records.size(), 2u);
    const ColliderRecord& last = listener->records.back();
    EXPECT_EQ(last.objectId, object);
    EXPECT_EQ(last.radius, 2.5f);
    EXPECT_EQ(last.position[0], 4.0f);
    EXPECT_EQ(last.position[2], 7.0f);

    MoveTo(object, {std::numeric_limits<float>::quiet_NaN(), 0, 0});
    SendToObject(kMsgRefresh, object, 0);
    SendToObject(kMsgRefresh, object, 0);
    EXPECT_EQ(listener->records.size(), 2u);  // a place that is not a number is not reported
    EXPECT_EQ(CountContaining(Rows(), "is not a number"), 1u);
}

}  // namespace
