#include <cmath>

#include "LevelWorld.h"
#include "controls/ControlAction.h"
#include "controls/DoAlwaysTrigger.h"
#include "game/level/DistanceLord.h"
#include "game/level/Event.h"
#include "game/level/PlayerPositionTrigger.h"
#include "game/level/TimeLord.h"
#include "game/physics/Physics.h"

namespace {

constexpr float kStep = 0.0166667f;  // the behaviour step

class TriggerTest : public LevelWorld {
protected:
    TriggerTest() { listener->Hear(kMsgTriggerCode); }
    std::vector<i32> Codes() const {
        std::vector<i32> codes;
        for (const Heard& h : listener->Of(kMsgTriggerCode)) codes.push_back(h.AsInt());
        return codes;
    }
};

// Counts its runs in a counter its clones share.
class CountingAction : public ControlAction {
public:
    explicit CountingAction(int* runs) : runs_(runs) {}
    bool Execute() override {
        ++*runs_;
        return true;
    }
    ControlAction* Clone() const override { return new CountingAction(*this); }

private:
    int* runs_;
};

}  // namespace

TEST_F(TriggerTest, TimeLordSendsOneCodePerUpdateOnceItsTimeIsReached) {
    auto* pair = new TimeLord;
    pair->times = {0.0f, 0.0f};
    pair->codes = {5, 7};
    auto* second = new TimeLord;
    second->times = {1.0f};
    second->codes = {-1};
    const u32 owner = MakeObject({}, {pair, second});
    for (int update = 1; update <= 60; ++update) {
        pair->Update(kStep);
        second->Update(kStep);
        if (update == 1) {
            EXPECT_EQ(Codes(), std::vector<i32>({5}));
        } else if (update == 59) {
            EXPECT_EQ(Codes(), std::vector<i32>({5, 7}));
        }
    }
    EXPECT_EQ(Codes(), std::vector<i32>({5, 7, -1}));  // one second at the 60th step, not the 59th
    EXPECT_EQ(listener->Of(kMsgTriggerCode)[0].sender, owner);
}

TEST_F(TriggerTest, LastAnnouncedTimeLordRunsOnBothClocks) {
    auto* physics = new Physics;
    engine->AddSystem(physics);
    physics->Init();
    TimeLord* lords[2];
    for (i32 code : {1, 2}) {
        lords[code - 1] = new TimeLord;
        lords[code - 1]->times = {1.0f};
        lords[code - 1]->codes = {code};
        MakeObject({}, {lords[code - 1]});
    }
    int frames[2] = {0, 0};
    for (int frame = 1; frame <= 70; ++frame) {
        physics->Update(kStep);
        for (TimeLord* lord : lords) lord->Update(kStep);  // the behaviour step
        for (i32 code : Codes())
            if (!frames[code - 1]) frames[code - 1] = frame;
    }
    EXPECT_EQ(frames[0], 60);
    EXPECT_EQ(frames[1], 30);  // the last announced one, stepped by Physics too
}

TEST_F(TriggerTest, EntriesThatAreNotNumbersOrLackACodeAreLeftOutWithARow) {
    auto* time = new TimeLord;
    time->times = {0.0f, NAN, 0.0f, 0.0f};
    time->codes = {1, 2, 3};
    auto* distance = new DistanceLord;
    distance->distances = {0.0f, NAN, 0.0f, 0.0f};
    distance->codes = {11, 12, 13};
    MakeTrackAndPlayer();
    MakeObject({}, {time, distance});
    AnnouncePlayer();
    for (int i = 0; i < 5; ++i) {
        time->Update(kStep);
        distance->Update(kStep);
    }
    EXPECT_EQ(Codes(), std::vector<i32>({1, 11, 3, 13}));
    const std::vector<std::string> rows = Rows();
    EXPECT_EQ(CountContaining(rows, "times[1] is not a number"), 1u);
    EXPECT_EQ(CountContaining(rows, "distances[1] is not a number"), 1u);
    EXPECT_EQ(CountContaining(rows, "times has 4 entries but codes only 3"), 1u);
    EXPECT_EQ(CountContaining(rows, "distances has 4 entries but codes only 3"), 1u);
}

TEST_F(TriggerTest, DistanceLordAtZeroFiresInTheFirstUpdateAfterTheCarrierIsAnnounced) {
    auto* lord = new DistanceLord;
    lord->distances = {0.0f, 50.0f};
    lord->codes = {9, 10};
    MakeObject({}, {lord});
    lord->Update(kStep);
    MakeTrackAndPlayer();  // the carrier's announcement is queued
    lord->Update(kStep);
    EXPECT_TRUE(Codes().empty());
    NextFrame();
    lord->Update(kStep);
    EXPECT_EQ(Codes(), std::vector<i32>({9}));
}

TEST_F(TriggerTest, DistanceLordWatchesThePlayersCarrierAndSurvivesItsLoss) {
    auto* decoy = new SplineCrawler;
    decoy->distance = 500.0f;
    const u32 decoyObject = MakeObject({}, {decoy});
    auto* lord = new DistanceLord;
    lord->distances = {100.0f};
    lord->codes = {1};
    MakeObject({}, {lord});
    NextFrame();  // the decoy is announced first
    MakeTrackAndPlayer(0.0f);
    NextFrame();
    AnnouncePlayer();
    lord->Update(kStep);
    EXPECT_TRUE(Codes().empty()) << "the player's carrier is at 0";

    overlord.UnregisterGameObject(carrierObject);
    overlord.UnregisterGameObject(decoyObject);
    NextFrame();
    lord->Update(kStep);  // both carriers gone: nothing to read
    EXPECT_TRUE(Codes().empty());
}

TEST_F(TriggerTest, PositionTriggerFiresOnceStrictlyInsideTwentyOfTheCamera) {
    auto* near = new PlayerPositionTrigger;
    auto* edge = new PlayerPositionTrigger;
    near->triggerCode = 3;
    edge->triggerCode = 4;
    MakeObject({0, 0, 119.99f}, {near});
    MakeObject({0, 0, 120.0f}, {edge});
    near->Update(kStep);          // no active camera: nothing tested
    auto* ownCamera = new Probe;  // the renderer's camera belongs to no object
    overlord.RegisterComponent(ownCamera);
    graphics->PushCamera(ownCamera->GetId());
    near->Update(kStep);
    EXPECT_TRUE(Codes().empty());
    graphics->GetLists().chase.SetChaseCamera(MakeObject({0, 0, 100}));  // the game camera stands in
    for (int i = 0; i < 3; ++i) {
        near->Update(kStep);
        edge->Update(kStep);
    }
    EXPECT_EQ(Codes(), std::vector<i32>({3}));
}

TEST_F(TriggerTest, EventRunsItsDeactivateActionsForEachTrueTrigger) {
    int activations = 0;
    int deactivations = 0;
    Event event;
    event.activateTriggers = {new DoAlwaysTrigger};
    event.activateActions = {new CountingAction(&activations)};
    event.deactivateTriggers = {new DoAlwaysTrigger, new DoAlwaysTrigger};
    event.deactivateActions = {new CountingAction(&deactivations)};
    event.Init();
    event.Update(0.1f);
    EXPECT_EQ(activations, 1);
    EXPECT_EQ(deactivations, 2);
    EXPECT_TRUE(event.IsDone());
    event.Update(0.1f);
    EXPECT_EQ(deactivations, 2);
}

TEST_F(TriggerTest, ClonedEventOwnsItsTriggersAndActions) {
    int runs = 0;
    auto* original = new Event;
    original->activateTriggers = {new DoAlwaysTrigger};
    original->activateActions = {new CountingAction(&runs)};
    std::unique_ptr<IComponent> clone(original->Clone());
    const u32 owner = MakeObject({}, {original});
    overlord.UnregisterGameObject(owner);  // shuts the original down
    NextFrame();
    auto* copy = static_cast<Event*>(clone.get());
    ASSERT_EQ(copy->activateActions.size(), 1u);
    copy->Init();
    copy->Update(0.1f);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(copy->IsActive());
}
