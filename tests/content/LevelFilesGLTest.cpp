// The three levels as files: each loads under the game's scene owner with no
// error row in the log, and the scene writer gives back its bytes (the
// editor's save of an unchanged level changes nothing), as it does for the
// other shipped scenes; across the three, with the archetypes they name,
// every gameplay feature is used somewhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <set>

#include "core/ClassNameLookup.h"
#include "engine/GameObject.h"
#include "engine/Logger.h"
#include "engine/Overlord.h"
#include "engine/SceneObjectBudget.h"
#include "frontend/hud/HUDComponent.h"
#include "game/actors/Brain.h"
#include "game/actors/Lifetime.h"
#include "game/actors/Movement.h"
#include "game/actors/Player.h"
#include "game/actors/Sataleye.h"
#include "game/combat/Health.h"
#include "game/combat/ProjectilePatternManager.h"
#include "game/combat/Weapon.h"
#include "game/combat/WeaponSpline.h"
#include "game/level/DistanceLord.h"
#include "game/level/MysteryBox.h"
#include "game/level/PlayerPositionTrigger.h"
#include "game/level/Spawner.h"
#include "game/level/SplineMultiSpawner.h"
#include "game/level/SplineObjectSpawner.h"
#include "game/level/TimeLord.h"
#include "game/physics/Body.h"
#include "game/physics/CylinderCollision.h"
#include "game/physics/SphereCollision.h"
#include "game/track/PlayerPath.h"
#include "game/track/SplineCrawler.h"
#include "platform/LoopedSound.h"
#include "render/camera/GameCamera.h"
#include "scene/ObjectFactory.h"
#include "scene/SceneManager.h"
#include "tests/content/LevelWorld.h"

namespace {

constexpr const char* kLoadBegins = "LEVEL TEST: load begins";
constexpr const char* kLoadEnds = "LEVEL TEST: load ends";

// The rows logged while the level loaded.
std::vector<std::string> RowsOfTheLoad(const std::vector<std::string>& rows) {
    std::vector<std::string> load;
    bool inside = false;
    for (const std::string& row : rows) {
        if (row == kLoadBegins)
            inside = true;
        else if (row == kLoadEnds)
            inside = false;
        else if (inside)
            load.push_back(row);
    }
    return load;
}

class EachLevelGLTest : public ::testing::TestWithParam<std::string> {};

TEST_P(EachLevelGLTest, LoadsWithNoErrorRowAndSavesItsOwnBytes) {
    if (!LevelWorld::GameHasCountdown()) GTEST_SKIP() << "the levels' heads-up display is no component class yet";
    LevelWorld world;
    ASSERT_TRUE(world.Start());
    Log(kLoadBegins);
    ASSERT_TRUE(world.Load(GetParam())) << SceneLoader::Get().GetLastError();
    Log(kLoadEnds);
    EXPECT_EQ(world.LoadFailures(), 0u) << SceneLoader::Get().GetLastError();
    // Far within the scene's bound on objects; its one HUD shows.
    EXPECT_LT(SceneObjectBudget::InUse(), SceneObjectBudget::kMaxObjects / 100);
    std::size_t huds = 0, shown = 0;
    for (u32 id : SceneManager::Get().GetObjectIds())
        if (const HUDComponent* hud = Overlord::FindComponent<HUDComponent>(id)) {
            ++huds;
            shown += hud->HoldsDisplay() && hud->GetElement(HUDComponent::kHealthBar) != 0;
        }
    EXPECT_EQ(shown, std::min<std::size_t>(huds, 1));
    // What the editor's save writes (line ends as its file writer makes them).
    std::string saved;
    for (char c : SceneManager::Get().WriteScene()) {
        if (c == '\n') saved += '\r';
        saved += c;
    }
    const std::string file = ReadFileBytes(world.LevelPath(GetParam()));
    EXPECT_EQ(saved, file) << "the level is not in the form the scene writer gives it";

    const std::vector<std::string> load = RowsOfTheLoad(world.FinishLog());
    ASSERT_FALSE(load.empty()) << "the load's rows were not found";
    for (const std::string& row : load) {
        // The loader's account of the objects it builds.
        static const char* const kBuilding[] = {"Adding component ", "Adding object ID: ", "Init gameobject "};
        bool building = false;
        for (const char* start : kBuilding) building = building || row.rfind(start, 0) == 0;
        EXPECT_TRUE(building) << GetParam() << ": " << row;
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, EachLevelGLTest, ::testing::ValuesIn(GameLevels()),
                         [](const auto& info) { return info.param; });

// The base names of the scene files the repository ships, the levels left out.
std::vector<std::string> ShippedExampleScenes() {
    std::vector<std::string> names;
    const char* assets = std::getenv("DD_ASSET_DIR");
    std::error_code error;
    if (assets)
        for (const auto& entry : std::filesystem::directory_iterator(std::string(assets) + "/scene", error))
            if (entry.path().extension() == ".scn") names.push_back(entry.path().stem().string());
    std::erase_if(names, [](const std::string& name) {
        return std::find(GameLevels().begin(), GameLevels().end(), name) != GameLevels().end();
    });
    std::sort(names.begin(), names.end());
    return names;
}

// The other shipped scenes, the editor's examples, are in the writer's form
// too: loaded and saved unchanged, each gives back its own bytes.
INSTANTIATE_TEST_SUITE_P(Examples, EachLevelGLTest, ::testing::ValuesIn(ShippedExampleScenes()),
                         [](const auto& info) { return info.param; });

// What one level and the archetypes it names use, as found in the loaded objects.
struct Features {
    std::map<std::string, int> count;  // feature name -> number of uses
    void Add(const std::string& name, bool used = true) { count[name] += used ? 1 : 0; }
};

template <class T>
T* Of(GameObject* object) {
    return object ? object->GetComponent<T>() : nullptr;
}

void Inspect(GameObject* object, Features& f, std::set<std::string>& archetypes) {
    if (auto* p = Of<Player>(object)) {
        f.Add("boost", !p->disablePlayerBoost && !p->boostSound.empty());
        f.Add("shield", !p->disablePlayerShield && !p->shieldSound.empty());
        f.Add("startingBoost", p->startingBoost != 0.0f);
        f.Add("dieAtPersistVel", p->dieAtPersistVel);
        f.Add("disable flag", p->disablePlayerShield || p->disablePlayerWeapon || p->disablePlayerBoost);
    }
    if (auto* w = Of<Weapon>(object)) {
        f.Add("Weapon");
        for (const std::string& a : w->projectileArchetypes) archetypes.insert(a);
    }
    if (auto* w = Of<WeaponSpline>(object)) {
        f.Add("WeaponSpline");
        archetypes.insert(w->archetype);
    }
    if (auto* m = Of<ProjectilePatternManager>(object)) f.Add("pattern " + m->patternToUse);
    f.Add("Lifetime", Of<Lifetime>(object));
    f.Add("Body", Of<Body>(object));
    if (auto* s = Of<SphereCollision>(object)) f.Add("group " + std::to_string(s->collisionGroup));
    f.Add("SphereCollision", Of<SphereCollision>(object));
    f.Add("CylinderCollision", Of<CylinderCollision>(object));
    f.Add("Brain", Of<Brain>(object));
    f.Add("Sataleye", Of<Sataleye>(object));
    f.Add("Movement", Of<Movement>(object));
    if (auto* s = Of<Spawner>(object)) {
        f.Add("Spawner");
        archetypes.insert(s->archetype);
    }
    if (auto* s = Of<SplineMultiSpawner>(object)) {
        f.Add("SplineMultiSpawner");
        f.Add("autoTrigger", s->autoTrigger);
        f.Add("lastTrigger", s->lastTrigger);
        archetypes.insert(s->archetype);
    }
    if (auto* s = Of<SplineObjectSpawner>(object)) {
        f.Add("SplineObjectSpawner");
        archetypes.insert(s->archetype);
    }
    f.Add("TimeLord", Of<TimeLord>(object));
    f.Add("PlayerPositionTrigger", Of<PlayerPositionTrigger>(object));
    if (auto* d = Of<DistanceLord>(object)) {
        f.Add("DistanceLord");
        f.Add("code -1", !d->codes.empty() && d->codes.back() == -1);
    }
    if (auto* b = Of<MysteryBox>(object)) {
        f.Add("points on hit", b->pointsGivenOnCollision > 0);
        f.Add("points on death", b->pointsGivenOnDeath > 0);
        f.Add("energy", b->energyToGivePlayer > 0.0f);
        f.Add("speed", b->speedToGivePlayer != 0.0f && !b->enabledSpecialSpeedBonus);
        f.Add("special speed", b->specialSpeedToGivePlayer != 0.0f && b->enabledSpecialSpeedBonus);
    }
    if (auto* h = Of<Health>(object)) {
        f.Add("hasDisablingBehavior", h->hasDisablingBehavior);
        f.Add("shieldCancelEffect", h->shieldCancelEffect);
        f.Add("recharge", h->hpRechargeValue != 0 && h->rechargeWaitTime > 0);
    }
    f.Add("CylinderCollision group " +
              std::to_string(Of<CylinderCollision>(object) ? Of<CylinderCollision>(object)->collisionGroup : -1),
          Of<CylinderCollision>(object));
}

TEST(LevelFilesGLTest, TheThreeLevelsTogetherUseEveryGameplayFeature) {
    if (!LevelWorld::GameHasCountdown()) GTEST_SKIP() << "the levels' heads-up display is no component class yet";
    LevelWorld world;
    ASSERT_TRUE(world.Start());
    Features all;
    std::map<std::string, Features> perLevel;
    for (const std::string& level : GameLevels()) {
        ASSERT_TRUE(world.Load(level)) << SceneLoader::Get().GetLastError();
        Features& f = perLevel[level];
        std::set<std::string> archetypes;
        bool hasPath = false, hasShip = false, hasCamera = false, hasMusic = false, hasCountdown = false;
        for (u32 id : SceneManager::Get().GetObjectIds()) {
            GameObject* object = Overlord::Get().GetGameObject(id);
            Inspect(object, f, archetypes);
            if (auto* path = Of<PlayerPath>(object)) hasPath = path->extrudeTunnelOverPath;
            if (Of<Player>(object) && object->GetParent() != 0)
                hasShip = Of<SplineCrawler>(Overlord::Get().GetGameObject(object->GetParent()));
            hasCamera = hasCamera || Of<GameCamera>(object);
            if (auto* music = Of<LoopedSound>(object))
                hasMusic = hasMusic || (!music->IsPositioned() && music->IsAutoPlay());
            for (IComponent* c : object ? object->GetComponents() : std::vector<IComponent*>{})
                hasCountdown = hasCountdown || GetClassName(c->GetTypeId()) == "HUDComponent";
        }
        EXPECT_TRUE(hasPath) << level << ": a track with its tunnel";
        EXPECT_TRUE(hasShip) << level << ": the ship on its carrier";
        EXPECT_TRUE(hasCamera) << level << ": a game camera";
        EXPECT_TRUE(hasMusic) << level << ": its music";
        EXPECT_TRUE(hasCountdown) << level << ": a heads-up display";
        EXPECT_GT(f.count["lastTrigger"], 0) << level << ": a spawner that starts the countdown";
        EXPECT_GT(f.count["code -1"], 0) << level << ": the level's end";
        EXPECT_GT(f.count["SplineMultiSpawner"] + f.count["Spawner"] + f.count["SplineObjectSpawner"], 2) << level;
        // The objects the level makes while it is played.
        std::set<std::string> seen;
        while (!archetypes.empty()) {
            const std::string name = *archetypes.begin();
            archetypes.erase(archetypes.begin());
            if (!seen.insert(name).second) continue;
            GameObject* prototype = ObjectFactory::Get().GetArchetype(name);
            if (!prototype && SceneLoader::Get().LoadArchetype(name))
                prototype = ObjectFactory::Get().GetArchetype(name);
            ASSERT_NE(prototype, nullptr) << level << " names the archetype " << name;
            Inspect(prototype, f, archetypes);
        }
        for (const auto& [name, n] : f.count) all.count[name] += n;
    }
    std::vector<std::string> wanted = {"boost",
                                       "shield",
                                       "startingBoost",
                                       "dieAtPersistVel",
                                       "disable flag",
                                       "Weapon",
                                       "WeaponSpline",
                                       "Lifetime",
                                       "Body",
                                       "SphereCollision",
                                       "CylinderCollision",
                                       "group 0",
                                       "group 1",
                                       "group 2",
                                       "group 3",
                                       "CylinderCollision group 4",
                                       "Brain",
                                       "Sataleye",
                                       "Movement",
                                       "Spawner",
                                       "SplineMultiSpawner",
                                       "SplineObjectSpawner",
                                       "autoTrigger",
                                       "TimeLord",
                                       "DistanceLord",
                                       "PlayerPositionTrigger",
                                       "points on hit",
                                       "points on death",
                                       "energy",
                                       "speed",
                                       "special speed",
                                       "hasDisablingBehavior",
                                       "shieldCancelEffect",
                                       "recharge"};
    for (const char* pattern : {"CircleShot", "TopSin", "BottomSin", "LeftSin", "RightSin", "TopLeftSin",
                                "BottomLeftSin", "TopRightSin", "BottomRightSin", "Normal"})
        wanted.push_back(std::string("pattern ") + pattern);
    for (const std::string& feature : wanted) EXPECT_GT(all.count[feature], 0) << feature << " is used by no level";
    EXPECT_EQ(all.count["autoTrigger"], 1) << "one spawner of the three levels spawns by itself";
}

}  // namespace
