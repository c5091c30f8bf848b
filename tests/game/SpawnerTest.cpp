#include <cmath>

#include "LevelWorld.h"
#include "engine/SceneObjectBudget.h"
#include "game/actors/Brain.h"
#include "game/level/SpawnBudget.h"
#include "game/level/Spawner.h"
#include "game/level/SplineMultiSpawner.h"
#include "game/level/SplineObjectSpawner.h"
#include "reflection/MemberBudget.h"

namespace {

class SpawnerTest : public LevelWorld {
protected:
    // A SplineMultiSpawner of "Drone" on its own object, initialised.
    SplineMultiSpawner* MakeMulti(i32 code, i32 count, float start, float step) {
        auto* spawner = new SplineMultiSpawner;
        spawner->archetype = "Drone";
        spawner->triggerCode = code;
        spawner->numSpawns = count;
        spawner->distanceAlongSpline = start;
        spawner->distanceStep = step;
        spawner->offsetFromPlayerRadius = 10.0f;
        MakeObject({}, {spawner});
        return spawner;
    }
};

void ExpectNear(const D3DXVECTOR3& a, const D3DXVECTOR3& b, float tolerance) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

}  // namespace

// The track is made before the spawner: its announcement comes before the
// spawner listens, so the spawner finds it through the player's carrier.
TEST_F(SpawnerTest, MultiSpawnerLinesObjectsUpAlongTheTrackOnOneSide) {
    MakeArchetype("Drone");
    MakeTrackAndPlayer();
    MakeMulti(4, 3, 100.0f, 100.0f);
    AnnouncePlayer();
    SendCode(3);
    EXPECT_TRUE(Spawned().empty());
    SendCode(4);
    const std::vector<GameObject*> drones = Spawned();
    ASSERT_EQ(drones.size(), 3u);
    for (size_t i = 0; i < drones.size(); ++i) {
        // radius: the player's circleRadius 50 + offset 10, along the frame's up;
        // track distances are arc-length look-ups, good to a few hundredths
        ExpectNear(drones[i]->GetComponent<Transform>()->worldPosition, D3DXVECTOR3(0, 60, 100.0f * (i + 1)), 0.05f);
        EXPECT_EQ(drones[i]->GetComponent<Probe>()->Count(kMsgRefresh.type), 1u);
        const std::vector<u32>& ids = scene.GetObjectIds();
        EXPECT_NE(std::find(ids.begin(), ids.end(), drones[i]->GetId()), ids.end()) << "added to the scene";
    }
}

TEST_F(SpawnerTest, MultiSpawnerCountsAndTrackEndsAreBounded) {
    const struct {
        i32 count;
        float start;
        float step;
        size_t spawned;
        const char* row;
    } cases[] = {
        {-1, 0.0f, 10.0f, 0, "numSpawns -1 is outside 0 to 1000"},
        {SplineMultiSpawner::kMaxSpawns + 5, 0.0f, 0.0f, SplineMultiSpawner::kMaxSpawns, "1000 are spawned"},
        {4, 990.0f, 5.0f, 2, "lies off the track"},  // 990 and 995 on it, 1000 and 1005 off
    };
    MakeArchetype("Drone");
    MakeTrackAndPlayer();
    AnnouncePlayer();
    i32 code = 20;
    for (const auto& c : cases) {
        const size_t before = Spawned().size();
        MakeMulti(++code, c.count, c.start, c.step);
        AnnouncePlayer();
        SendCode(code);
        EXPECT_EQ(Spawned().size() - before, c.spawned) << c.row;
        for (GameObject* o : Spawned()) overlord.UnregisterGameObject(o->GetId());
        NextFrame();
        listener->heard.clear();
    }
    const std::vector<std::string> rows = Rows();
    for (const auto& c : cases) EXPECT_GE(CountContaining(rows, c.row), 1u) << c.row;
    EXPECT_EQ(CountContaining(rows, "lies off the track"), 1u) << "one row per spawner and reason";
}

TEST_F(SpawnerTest, RefusedSpawnsGiveOneRowPerSpawnerAndReasonAndTheirCountAtTheLevelsEnd) {
    // Codes sent every frame to spawners that cannot place what they make.
    MakeArchetype("Drone");
    MakeTrackAndPlayer();
    const u32 offTrack = MakeMulti(7, 4, 990.0f, 5.0f)->GetOwner();      // 2 of 4 off the track
    const u32 tooMany = MakeMulti(7, -3, 0.0f, 0.0f)->GetOwner();        // numSpawns out of range
    const u32 offTrackToo = MakeMulti(8, 3, 2000.0f, 0.0f)->GetOwner();  // all 3 off the track
    AnnouncePlayer();
    auto* noPlayer = new SplineObjectSpawner;  // hears of no player
    noPlayer->archetype = "Drone";
    noPlayer->triggerCode = 7;
    const u32 noPlayerObject = MakeObject({}, {noPlayer});
    constexpr int kFrames = 200;
    for (int frame = 0; frame < kFrames; ++frame) {
        SendCode(7);
        SendCode(8);
        for (GameObject* o : Spawned()) overlord.UnregisterGameObject(o->GetId());
        NextFrame();
    }
    // The level ends: its objects go.
    for (u32 object : {offTrack, tooMany, offTrackToo, noPlayerObject}) overlord.UnregisterGameObject(object);
    const std::vector<std::string> rows = Rows();
    EXPECT_EQ(CountContaining(rows, "lies off the track"), 2u) << "one for each of the two spawners";
    EXPECT_EQ(CountContaining(rows, "numSpawns -3 is outside"), 1u);
    EXPECT_EQ(CountContaining(rows, "no player riding a track is known"), 1u);
    auto counted = [&](u32 object, const std::string& said) {
        return CountContaining(rows, "on object " + std::to_string(object) + ": " + said);
    };
    EXPECT_EQ(counted(offTrack, "spawns off the track: 400 refused spawns in this level"), 1u);
    EXPECT_EQ(counted(offTrackToo, "spawns off the track: 600 refused spawns in this level"), 1u);
    EXPECT_EQ(counted(tooMany, "numSpawns out of range: 200 refused spawns in this level"), 1u);
    EXPECT_EQ(counted(noPlayerObject, "no player riding a track: 200 refused spawns in this level"), 1u);
    EXPECT_EQ(CountContaining(rows, "refused spawns in this level"), 4u) << "one count per spawner and reason";
}

TEST_F(SpawnerTest, LastTriggerStartsTheCountdownOnceInTheFirstFrame) {
    listener->Hear(kMsgLevelStart);
    MakeTrackAndPlayer();
    SplineMultiSpawner* spawner = MakeMulti(1, 0, 0.0f, 0.0f);
    spawner->lastTrigger = true;
    AnnouncePlayer();
    EXPECT_EQ(listener->Of(kMsgLevelStart).size(), 1u);
    AnnouncePlayer();
    AnnouncePlayer();
    EXPECT_EQ(listener->Of(kMsgLevelStart).size(), 1u);
}

TEST_F(SpawnerTest, AutoTriggerSpawnsOneSetAndIgnoresCodes) {
    MakeArchetype("Drone");
    SplineMultiSpawner* spawner = MakeMulti(6, 2, 0.0f, 50.0f);
    spawner->autoTrigger = true;
    MakeTrackAndPlayer();  // announced after the spawner listens
    EXPECT_TRUE(Spawned().empty()) << "the player is not known yet";
    AnnouncePlayer();
    EXPECT_EQ(Spawned().size(), 2u);
    AnnouncePlayer();
    SendCode(6);
    EXPECT_EQ(Spawned().size(), 2u);
}

TEST_F(SpawnerTest, AutoTriggerWithAPlacementThatIsNotANumberSaysSoOnceAndSpawnsNothing) {
    // The player is announced every frame; the row must not be.
    MakeArchetype("Drone");
    MakeTrackAndPlayer();
    SplineMultiSpawner* spawner = MakeMulti(6, 2, std::nanf(""), 50.0f);
    spawner->autoTrigger = true;
    for (int frame = 0; frame < 5; ++frame) {
        AnnouncePlayer();
        NextFrame();
    }
    EXPECT_TRUE(Spawned().empty());
    EXPECT_EQ(CountContaining(Rows(), "distanceAlongSpline is not a number; nothing is spawned"), 1u);
}

TEST_F(SpawnerTest, ASpawnerWhoseObjectsSpawnMoreStaysWithinItsBudgets) {
    // Each spawned object carries a spawner of the same code, so every code
    // makes all of them spawn (doubling). Per frame at most
    // SpawnBudget::kPerFrame are made, alive at most SpawnBudget::kLive;
    // each budget logs one row.
    auto* inner = new Spawner;
    inner->archetype = "Drone";
    inner->triggerCode = 9;
    MakeArchetype("Drone", {inner});
    auto* first = new Spawner;
    first->archetype = "Drone";
    first->triggerCode = 9;
    MakeObject({}, {first});
    auto objects = [&] {
        std::size_t count = 0;
        overlord.GameObjects().ForEach([&](u32, GameObject*) { ++count; });
        return count;
    };
    std::size_t before = objects();
    for (int frame = 0; frame < 30; ++frame) {
        SendCode(9);
        const std::size_t now = objects();
        EXPECT_LE(now - before, SpawnBudget::kPerFrame) << frame;
        before = now;
        NextFrame();
    }
    EXPECT_EQ(SpawnBudget::Live(), SpawnBudget::kLive);
    EXPECT_LE(objects(), SpawnBudget::kLive + 10);
    EXPECT_EQ(CountContaining(Rows(), "Spawn budget: "), 2u);
}

TEST_F(SpawnerTest, EverySpawnerHoldingTheCodeSpawnsWhereItStands) {
    MakeArchetype("Drone");
    for (float x : {5.0f, -5.0f}) {
        auto* spawner = new Spawner;
        spawner->archetype = "Drone";
        spawner->triggerCode = 7;
        MakeObject({x, 6, 7}, {spawner});
    }
    SendCode(8);
    EXPECT_TRUE(Spawned().empty());
    SendCode(7);
    SendCode(7);
    const std::vector<GameObject*> drones = Spawned();
    ASSERT_EQ(drones.size(), 4u);
    ExpectNear(drones[0]->GetComponent<Transform>()->worldPosition, D3DXVECTOR3(5, 6, 7), 1e-5f);
    ExpectNear(drones[1]->GetComponent<Transform>()->worldPosition, D3DXVECTOR3(-5, 6, 7), 1e-5f);
}

// A scene holding all the objects it may: spawns are refused with the one
// row of the scene's bound (not taken for an archetype that failed or one
// past another budget) and are made again once there is room.
TEST_F(SpawnerTest, ASceneFullOfObjectsRefusesSpawnsWithOneRowAndSpawnsAgainOnceThereIsRoom) {
    MakeArchetype("Drone");
    auto* spawner = new Spawner;
    spawner->archetype = "Drone";
    spawner->triggerCode = 7;
    MakeObject({}, {spawner});
    SceneBudget::Share others;  // the scene's other objects
    ASSERT_TRUE(others.Take(SceneObjectBudget::Budget(), SceneObjectBudget::kMaxObjects - SceneObjectBudget::InUse()));
    for (int frame = 0; frame < 3; ++frame) {
        SendCode(7);
        NextFrame();
    }
    EXPECT_TRUE(Spawned().empty());
    others.Release();
    SendCode(7);
    EXPECT_EQ(Spawned().size(), 1u);
    const std::vector<std::string> rows = Rows();
    EXPECT_EQ(CountContaining(rows, "would take the scene past 100000 objects"), 1u);
    EXPECT_EQ(CountContaining(rows, "nothing is spawned"), 0u) << "no other reason is given";
}

TEST_F(SpawnerTest, MissingArchetypeGivesOneRowAndNoObject) {
    MakeTrackAndPlayer();
    auto* spawner = new Spawner;
    spawner->archetype = "Nowhere";
    spawner->triggerCode = 2;
    MakeObject({}, {spawner});
    SplineMultiSpawner* multi = MakeMulti(2, 3, 0.0f, 10.0f);
    multi->archetype = "Nowhere";
    AnnouncePlayer();
    for (int i = 0; i < 3; ++i) SendCode(2);
    EXPECT_TRUE(Spawned().empty());
    EXPECT_EQ(CountContaining(Rows(), "archetype \"Nowhere\" is not loaded and has no file"), 2u);  // one per spawner
}

TEST_F(SpawnerTest, ArchetypeRefusedByTheMemberBudgetIsSaidSoOnceAScene) {
    // The archetype's objects hold a string, and the scene's lists and
    // strings are full: every spawn is refused, though the archetype loaded.
    Spawner stand;  // reflects its members before the class is entered
    registry.Register<Spawner>("Spawner");
    auto* inner = new Spawner;
    inner->archetype = "Anything";
    MakeArchetype("Heavy", {inner});
    MemberBudget::Held filler;
    MemberBudget::Hold(filler, MemberBudget::kSceneBytes);
    for (int i = 0; i < 2; ++i) {
        auto* spawner = new Spawner;
        spawner->archetype = "Heavy";
        spawner->triggerCode = 7;
        MakeObject({}, {spawner});
    }
    for (int scene = 0; scene < 2; ++scene) {
        if (scene == 1) {
            MemberBudget::StartScene();
            MemberBudget::Hold(filler, MemberBudget::kSceneBytes);
        }
        for (int frame = 0; frame < 3; ++frame) {
            SendCode(7);
            NextFrame();
        }
    }
    MemberBudget::StartScene();
    EXPECT_TRUE(Spawned().empty());
    const std::vector<std::string> rows = Rows();
    EXPECT_EQ(CountContaining(rows, "could not be loaded"), 0u);
    EXPECT_EQ(CountContaining(rows,
                              "archetype \"Heavy\" is loaded, but its object would take what the scene's "
                              "reflected lists and strings hold past their budget"),
              2u)
        << "one a scene";
}

TEST_F(SpawnerTest, ObjectSpawnerRidesItsOwnCarrierAheadOfThePlayer) {
    MakeArchetype("Mine");
    auto* spawner = new SplineObjectSpawner;
    spawner->archetype = "Mine";
    spawner->triggerCode = 5;
    spawner->spawnDistanceFromPlayer = 120.0f;
    spawner->offsetFromSpline = D3DXVECTOR3(3, 4, 5);
    spawner->initialVelocity = 7.0f;
    spawner->initialAccelleration = 2.0f;
    MakeObject({}, {spawner});
    listener->Hear(ComponentAnnounced(TypeId<SplineCrawler>::Get()));
    SendCode(5);  // no player known: nothing is made, not even a carrier
    EXPECT_TRUE(Spawned().empty());
    EXPECT_TRUE(listener->Of(ComponentAnnounced(TypeId<SplineCrawler>::Get())).empty());

    MakeTrackAndPlayer(40.0f);
    AnnouncePlayer();
    SendCode(5);
    const std::vector<GameObject*> mines = Spawned();
    ASSERT_EQ(mines.size(), 1u);
    const SplineCrawler* carrier = Find<SplineCrawler>(mines[0]->GetParent());
    ASSERT_NE(carrier, nullptr);
    EXPECT_EQ(carrier->distance, 160.0f);
    EXPECT_EQ(carrier->splineGameObjectID, pathObject);
    EXPECT_EQ(carrier->lookAheadDistance, 2.0f);
    EXPECT_EQ(carrier->persistVelocity, 7.0f);
    EXPECT_EQ(carrier->persistAcceleration, 2.0f);
    ExpectNear(mines[0]->GetComponent<Transform>()->position, D3DXVECTOR3(3, 4, 5), 0.0f);
    EXPECT_EQ(CountContaining(Rows(), "no player riding a track is known"), 1u);
}

// The carrier is made during play like the object it carries: a scene
// clear takes both away.
TEST_F(SpawnerTest, ObjectSpawnersCarrierGoesAtASceneClear) {
    MakeArchetype("Mine");
    auto* spawner = new SplineObjectSpawner;
    spawner->archetype = "Mine";
    spawner->triggerCode = 5;
    MakeObject({}, {spawner});
    MakeTrackAndPlayer();
    AnnouncePlayer();
    SendCode(5);
    const std::vector<GameObject*> mines = Spawned();
    ASSERT_EQ(mines.size(), 1u);
    const u32 mine = mines[0]->GetId();
    const u32 carrier = mines[0]->GetParent();
    ASSERT_NE(overlord.GetGameObject(carrier), nullptr);
    scene.ClearScene();
    EXPECT_EQ(overlord.GetGameObject(carrier), nullptr);
    EXPECT_EQ(overlord.GetGameObject(mine), nullptr);
}

TEST_F(SpawnerTest, MultiSpawnerConfiguresTheBrainsItPlaces) {
    MakeArchetype("Drone", {new Brain});
    MakeTrackAndPlayer();
    SplineMultiSpawner* spawner = MakeMulti(4, 3, 100.0f, 100.0f);
    spawner->angleOnSpline = 90.0f;
    spawner->angleStep = 30.0f;
    spawner->Init();  // the angles are taken in radians at Init
    spawner->circleRadius = 7.0f;
    spawner->angleInc = 10.0f;
    spawner->angleIncStep = 5.0f;
    spawner->moveLeft = true;
    spawner->moveLeftAltVal = 2.0f;
    AnnouncePlayer();
    SendCode(4);
    SendCode(4);  // a second set goes on where the first stopped
    const std::vector<GameObject*> drones = Spawned();
    ASSERT_EQ(drones.size(), 6u);
    const float angles[] = {90, 120, 150};
    const bool moveLeft[] = {true, true, false, false, true, true};
    for (size_t i = 0; i < drones.size(); ++i) {
        const Brain* brain = drones[i]->GetComponent<Brain>();
        EXPECT_NEAR(brain->angle, angles[i % 3], 1e-3f) << i;
        EXPECT_TRUE(brain->angleSet);
        EXPECT_EQ(brain->moveLeft, moveLeft[i]) << i;
        EXPECT_EQ(brain->angleIncrement, 10.0f + 5.0f * i) << i;
        EXPECT_EQ(brain->circleRadius, 7.0f);
        EXPECT_NEAR(brain->centre.y, 0.0f, 1e-5f);  // the track point's x and y
    }
}
