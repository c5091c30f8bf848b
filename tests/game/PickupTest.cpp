#include "LevelWorld.h"
#include "game/level/MysteryBox.h"
#include "game/level/PowerUp.h"

namespace {

class PickupTest : public LevelWorld {
protected:
    PickupTest() {
        listener->Hear(kMsgPoints);
        listener->Hear(kMsgEnergyChange);
        listener->Hear(kMsgPowerUpTaken);
    }
};

}  // namespace

TEST_F(PickupTest, BoxRewardsArriveInTheNextFrameZerosIncluded) {
    const struct {
        i32 onDeath;
        i32 onCollision;
        float energy;
    } cases[] = {{50, 7, 2.5f}, {0, 0, 0.0f}};
    for (const auto& c : cases) {
        auto* box = new MysteryBox;
        box->pointsGivenOnDeath = c.onDeath;
        box->pointsGivenOnCollision = c.onCollision;
        box->energyToGivePlayer = c.energy;
        const u32 object = MakeObject({}, {box});
        listener->heard.clear();
        SendToObject(kMsgPlayerCollided, object, 0);
        SendToObject(kMsgObjectDied, object, 0);
        SendToObject(kMsgEnergyReward, object, 0);
        EXPECT_TRUE(listener->heard.empty()) << "queued, not at once";
        NextFrame();
        const std::vector<Heard> points = listener->Of(kMsgPoints);
        const std::vector<Heard> energy = listener->Of(kMsgEnergyChange);
        ASSERT_EQ(points.size(), 2u);
        ASSERT_EQ(energy.size(), 1u);
        EXPECT_EQ(points[0].AsInt(), c.onCollision);
        EXPECT_EQ(points[1].AsInt(), c.onDeath);
        EXPECT_EQ(energy[0].AsFloat(), c.energy);
        EXPECT_EQ(points[0].sender, box->GetId());
        overlord.UnregisterGameObject(object);
    }
}

TEST_F(PickupTest, PowerUpAnswersATouchWithOneTakenMessage) {
    const u32 object = MakeObject({}, {new PowerUp});
    SendToObject(kMsgPowerUpTouched, object, 0);
    NextFrame();
    EXPECT_EQ(listener->Of(kMsgPowerUpTaken).size(), 1u);
}
