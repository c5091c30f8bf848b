#include <cmath>

#include "LevelWorld.h"
#include "controls/ControlAction.h"
#include "controls/DoAlwaysTrigger.h"
#include "game/level/DistanceLord.h"
#include "game/level/Event.h"
#include "game/level/PlayerPositionTrigger.h"
#include "game/level/TimeLord.h"

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

TEST_F(TriggerTest, TimeLordSendsOneCodePerUpdateInTimeOrder) {
    auto* lord = new TimeLord;
    lord->times = {0.0f, 0.0f};
    lord->codes = {5, 7};
    const u32 owner = MakeObject({}, {lord});
    lord->Update(kStep);
    EXPECT_EQ(Codes(), std::vector<i32>({5}));
    lord->Update(kStep);
    lord->Update(kStep);
    EXPECT_EQ(Codes(), std::vector<i32>({5, 7}));
    EXPECT_EQ(listener->Of(kMsgTriggerCode)[0].sender, owner);
}

TEST_F(TriggerTest, TimeLordReachesOneSecondAtTheSixtiethStep) {
    auto* lord = new TimeLord;
    lord->times = {1.0f};
    lord->codes = {-1};
    MakeObject({}, {lord});
    int updates = 0;
    while (Codes().empty() && updates < 100) {
        lord->Update(kStep);
        ++updates;
    }
    EXPECT_EQ(updates, 60);
    EXPECT_EQ(Codes(), std::vector<i32>({-1}));
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
    const u32 cameraObject = MakeObject({0, 0, 100});
    auto* camera = new Probe;
    overlord.GetGameObject(cameraObject)->AddComponent(camera);
    graphics->PushCamera(camera->GetId());
    const struct {
        float distance;
        std::vector<i32> codes;
    } cases[] = {{20.0f, {}}, {19.99f, {3}}};
    for (const auto& c : cases) {
        auto* trigger = new PlayerPositionTrigger;
        trigger->triggerCode = 3;
        MakeObject({0, 0, 100.0f + c.distance}, {trigger});
        for (int i = 0; i < 3; ++i) trigger->Update(kStep);
        EXPECT_EQ(Codes(), c.codes) << c.distance;
    }
}

TEST_F(TriggerTest, PositionTriggerUsesTheGameCameraForTheRenderersOwn) {
    auto* trigger = new PlayerPositionTrigger;
    trigger->triggerCode = 4;
    MakeObject({0, 0, 100}, {trigger});
    trigger->Update(kStep);       // no active camera: nothing tested
    auto* ownCamera = new Probe;  // the renderer's camera belongs to no object
    overlord.RegisterComponent(ownCamera);
    graphics->PushCamera(ownCamera->GetId());
    trigger->Update(kStep);
    EXPECT_TRUE(Codes().empty());
    graphics->GetLists().chase.SetChaseCamera(MakeObject({0, 5, 95}));
    trigger->Update(kStep);
    EXPECT_EQ(Codes(), std::vector<i32>({4}));
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
