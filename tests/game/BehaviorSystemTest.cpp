#include <gtest/gtest.h>

#include "engine/MessageTypes.h"
#include "game/scene/BehaviorSystem.h"
#include "tests/game/GameSceneWorld.h"

class Movement;
class Player;
class TimeLord;

namespace {
class BehaviorSystemTest : public GameSceneWorld {
protected:
    BehaviorSystemTest() { engine->AddSystem(behavior); }
    // A new system in place of the current one (messages reach the one the
    // Engine holds).
    void Renew() {
        engine->RemoveSystem(behavior);
        behavior = new BehaviorSystem;
        engine->AddSystem(behavior);
    }
    BehaviorSystem* behavior = new BehaviorSystem;
};

TEST_F(BehaviorSystemTest, StepsAtMostOnceAFrameOnItsOwnClock) {
    const struct {
        const char* name;
        std::vector<float> frames;
        std::vector<int> stepsAfterEach;
    } cases[] = {
        {"dt 0.01: frames 2, 4, 6", {0.01f, 0.01f, 0.01f, 0.01f, 0.01f, 0.01f}, {0, 1, 1, 2, 2, 3}},
        {"a 10 s frame: one step", {10.0f, 0.001f}, {1, 1}},
    };
    for (const auto& c : cases) {
        Renew();
        Probe* lord = MakeProbe(TypeId<TimeLord>::Get(), "lord");
        Probe* movement = MakeProbe(TypeId<Movement>::Get(), "movement");
        for (size_t i = 0; i < c.frames.size(); ++i) {
            behavior->Update(c.frames[i]);
            EXPECT_EQ(lord->updates, c.stepsAfterEach[i]) << c.name << ", frame " << i + 1;
        }
        EXPECT_FLOAT_EQ(lord->lastDt, BehaviorSystem::kStep) << c.name;
        EXPECT_FLOAT_EQ(movement->lastDt, 0.0f) << c.name << ": Movement always gets 0";
    }
}

TEST_F(BehaviorSystemTest, PausedItNeitherStepsNorGathersTimeButTakesMessages) {
    Probe* lord = MakeProbe(TypeId<TimeLord>::Get(), "lord");
    behavior->SetPaused(true);
    behavior->Update(1.0f);
    ::Broadcast(kMsgSelectedObject, 0, lord->GetOwner());
    EXPECT_EQ(lord->updates, 0);
    EXPECT_FLOAT_EQ(behavior->GetAccumulator(), BehaviorSystem::kStartAccumulator);
    EXPECT_EQ(behavior->GetSelectedObjectId(), lord->GetOwner());
}

TEST_F(BehaviorSystemTest, MovementPathIsDrawnForTheSelectedObjectAlone) {
    Probe* chosen = MakeProbe(TypeId<Movement>::Get(), "chosen");
    Probe* other = MakeProbe(TypeId<Movement>::Get(), "other");
    ::Broadcast(kMsgDebugDraw, 0, true);
    ::Broadcast(kMsgSelectedObject, 0, chosen->GetOwner());
    behavior->Update(1.0f);
    EXPECT_EQ(chosen->draws, 1);
    EXPECT_EQ(other->draws, 0);
}

TEST_F(BehaviorSystemTest, ClearForgetsThePlayerAndTheLists) {
    Probe* ship = MakeProbe(TypeId<Player>::Get(), "ship");
    Probe* lord = MakeProbe(TypeId<TimeLord>::Get(), "lord");
    EXPECT_EQ(behavior->GetPlayerObjectId(), ship->GetOwner());
    behavior->Clear();
    EXPECT_EQ(behavior->GetPlayerObjectId(), 0u);
    behavior->Update(1.0f);
    EXPECT_EQ(lord->updates, 0);
}
}  // namespace
