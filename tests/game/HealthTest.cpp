#include <climits>

#include "CombatWorld.h"
#include "game/combat/Health.h"
#include "game/combat/ShipState.h"
#include "game/level/MysteryBox.h"
#include "reflection/MetaRegistry.h"

namespace {

// Stands in for the ship's Player: its shield state as Health reads it.
class FakePlayer : public Component<FakePlayer> {
public:
    bool shielding = false;
};

class HealthTest : public CombatWorld {
protected:
    HealthTest() {
        ShipState::Install(TypeId<FakePlayer>::Get(), [](const IComponent& player) {
            return ShipState{static_cast<const FakePlayer&>(player).shielding, false};
        });
    }
    static Health* MakeHealth(int maxHP) {
        auto* health = new Health;
        health->maxHP = maxHP;
        return health;
    }
    // sender hits receiver, as the collision senders address it.
    static void Hit(u32 receiver, u32 sender) { SendToObject(kMsgCollision, receiver, sender); }

    std::vector<u32> ReceivedTypes(u32 objectId) const {
        std::vector<u32> types;
        for (const Received& r : Inbox())
            if (r.receiver == objectId && r.type != kMsgCollision.type) types.push_back(r.type * 100 + r.argument);
        return types;
    }

    MetaRegistry registry;
};

TEST_F(HealthTest, EachLosesTheOthersHitPointsAndTheLoserLeavesNextUpdate) {
    Health* big = MakeHealth(10);
    Health* small = MakeHealth(3);
    const u32 a = Make({}, {big});
    const u32 b = Make({0, 0, 1}, {small});
    Hit(b, a);
    EXPECT_EQ(big->currentHP, 7);
    EXPECT_EQ(small->currentHP, -7);
    EXPECT_TRUE(ReceivedTypes(b).empty());
    big->Update(0.01f);
    small->Update(0.01f);
    EXPECT_TRUE(Alive(a));
    EXPECT_FALSE(Alive(b));
    EXPECT_EQ(ReceivedTypes(b), (std::vector<u32>{4600, 7000, 4800}));  // died, energy reward, death effect
    EXPECT_TRUE(ReceivedTypes(a).empty());
}

TEST_F(HealthTest, HitPointsAtTheEndsOfIntSaturateInsteadOfWrapping) {
    // A level may give any hit points; the sanitizer build stops on a wrap.
    const struct {
        int a, b, afterA, afterB;
    } cases[] = {
        {INT_MAX, INT_MIN, INT_MAX, INT_MIN},
        {INT_MIN, 1, INT_MIN, INT_MAX},
        {-2, INT_MAX, INT_MIN, INT_MAX},
        {INT_MAX, -1, INT_MAX, INT_MIN},
    };
    for (const auto& c : cases) {
        Health* first = MakeHealth(INT_MAX);
        Health* second = MakeHealth(INT_MAX);
        const u32 a = Make({}, {first});
        const u32 b = Make({}, {second});
        first->currentHP = c.a;
        second->currentHP = c.b;
        Hit(a, b);
        EXPECT_EQ(first->currentHP, c.afterA) << c.a << " " << c.b;
        EXPECT_EQ(second->currentHP, c.afterB) << c.a << " " << c.b;
    }
    // The ship's recharge and the shield's refund.
    Health* ship = MakeHealth(INT_MAX);
    ship->hpRechargeValue = INT_MAX;
    ship->rechargeWaitTime = 1;
    auto* shield = new FakePlayer;
    shield->shielding = true;
    Make({}, {ship, shield});
    ship->currentHP = INT_MAX - 1;
    ship->Update(0.01f);
    EXPECT_EQ(ship->currentHP, INT_MAX);
}

TEST_F(HealthTest, OnlyTheReceiverIgnoresHitsWhileInvulnerable) {
    Health* first = MakeHealth(100);
    Health* second = MakeHealth(100);
    first->invulnerableTime = second->invulnerableTime = 0.1f;
    const u32 a = Make({}, {first});
    const u32 b = Make({}, {second});
    Hit(a, b);  // 0, 0
    first->currentHP = 50;
    Hit(a, b);  // ignored
    EXPECT_EQ(first->currentHP, 50);
    Hit(b, a);  // the other one still settles: 50 - 0 and 0 - 50
    EXPECT_EQ(first->currentHP, 50);
    EXPECT_EQ(second->currentHP, -50);
    first->Update(0.11f);
    Hit(a, b);
    EXPECT_EQ(first->currentHP, 100);
}

TEST_F(HealthTest, ShipRechargesAfterTheWaitButNeverFromZero) {
    const struct {
        int start, rechargeValue, afterTwo, afterThree;
    } cases[] = {{4, -1, 4, 10}, {4, 2, 4, 6}, {9, 5, 9, 10}, {0, -1, 0, 0}};
    for (const auto& c : cases) {
        Health* health = MakeHealth(10);
        health->hpRechargeValue = c.rechargeValue;
        health->rechargeWaitTime = 3;
        Make({}, {health, new FakePlayer});
        ASSERT_TRUE(health->isPlayer);
        health->currentHP = c.start;
        health->Update(0.01f);
        health->Update(0.01f);
        EXPECT_EQ(health->currentHP, c.afterTwo) << c.start << " " << c.rechargeValue;
        health->Update(0.01f);
        EXPECT_EQ(health->currentHP, c.afterThree) << c.start << " " << c.rechargeValue;
    }
}

TEST_F(HealthTest, ShipHitsApplyShieldEnergyAndTheBoxSpeed) {
    const struct {
        bool shielding;
        int group;
        bool withBox;
        float speed;
        int shipAfter;
        std::vector<float> bonus, energy;
    } cases[] = {
        {true, 2, false, 0, 100, {}, {-30}},  // shield keeps the hit points, costs energy
        {true, 1, true, 5, 100, {5}, {}},     // only group 2 costs energy
        {true, 2, true, -5, 100, {}, {-30}},  // a penalty does not pass the shield
        {false, 2, true, -5, 70, {-5}, {}},
        {false, 1, false, 5, 70, {}, {}},  // an obstacle without a box gives no speed
    };
    Listener* listener = Listen(kMsgSpeedBonus, kMsgEnergyChange, ComponentCommand(3));
    for (const auto& c : cases) {
        listener->heard.clear();
        Health* ship = MakeHealth(100);
        auto* player = new FakePlayer;
        player->shielding = c.shielding;
        const u32 shipObject = Make({}, {ship, player, Sphere(1)});
        auto* box = new MysteryBox;
        box->speedToGivePlayer = c.speed;
        const u32 rock = c.withBox ? Make({}, {MakeHealth(30), Sphere(1, c.group), box})
                                   : Make({}, {MakeHealth(30), Sphere(1, c.group)});
        if (!c.withBox) delete box;
        Hit(rock, shipObject);  // the ship is the player side whichever object receives
        EXPECT_EQ(ship->currentHP, c.shipAfter) << c.shielding << " " << c.group;
        EXPECT_EQ(listener->Values(kMsgSpeedBonus.type, 0), c.bonus);
        EXPECT_TRUE(listener->Values(kMsgEnergyChange.type, 0).empty());  // queued
        NextFrame();
        EXPECT_EQ(listener->Values(kMsgEnergyChange.type, 0), c.energy);
        EXPECT_TRUE(listener->Values(48, 3).empty());
        EXPECT_EQ(ReceivedTypes(rock), (std::vector<u32>{4700}));
        Inbox().clear();
    }
}

TEST_F(HealthTest, BulletHitsFlashOrDisableAndTheWaitPhaseProtects) {
    Health* target = MakeHealth(100);
    target->hasDisablingBehavior = true;
    target->disableTime = 0.05f;
    target->disableWaitTime = 0.05f;
    target->invulnerableTime = 0;
    SphereCollision* sphere = Sphere(1);
    const u32 object = Make({}, {target, sphere});
    Health* bulletHealth = MakeHealth(1);
    const u32 bullet = Make({}, {bulletHealth});
    overlord.GetGameObject(bullet)->SetArchetypeName("Bullet");

    target->Update(0.02f);
    Hit(object, bullet);
    EXPECT_EQ(target->currentHP, 99);
    target->Update(0.02f);
    EXPECT_FALSE(sphere->IsEnabled());
    for (int i = 0; i < 3; ++i) target->Update(0.02f);
    EXPECT_TRUE(sphere->IsEnabled());
    EXPECT_NE(target->disableWaitTimer, 0.0f);
    bulletHealth->currentHP = 1;
    Hit(object, bullet);  // during the wait phase: hit points only
    EXPECT_EQ(target->disableTimer, 0.0f);
    EXPECT_EQ(target->currentHP, 98);
}

TEST_F(HealthTest, ObjectWithoutTransformStillLeavesWhenItDies) {
    GameObject* object = factory.NewGameObject();
    Health* health = MakeHealth(1);
    object->AddComponent(health);
    object->AddComponent(new Recorder);
    object->Init();
    health->currentHP = 0;
    health->Update(0.01f);
    EXPECT_FALSE(Alive(object->GetId()));
}

}  // namespace
