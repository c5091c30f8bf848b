// Levels that feed themselves, played headless through the real loader and
// class table: a spawner whose objects' TimeLord fires its code, an enemy
// whose weapon fires its own archetype, a multi-spawner whose archetype is
// itself. Every frame ends, and objects stay within the spawn budgets. A
// scene of many long, many-sided tunnels is refused past the geometry budget
// with its memory bounded, and so are many long tracks past the sample budget,
// with one row a scene. A heap of touching colliders reports the contact
// budget's worth a step, keeping the log and the frames small.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <time.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/level/SpawnBudget.h"
#include "game/physics/ContactBudget.h"
#include "game/track/PlayerPath.h"
#include "tests/engine/LogCapture.h"
#include "tests/game/PlayWorld.h"
#include "tests/port/ChildProcess.h"

namespace {

// A straight 2 km track (object 1), the ship's carrier riding it (2) and the
// ship (3, a Player with Health), then `more` instances.
std::string LevelWithShip(const std::string& archetypes, const std::string& more) {
    return "Archetypes = { \"\", " + archetypes +
           " }\n"
           "Instances = {\n"
           "{SceneGUID = 1, Transform = {}, PlayerPath = {wps = {{pos = {x = 0, y = 0, z = 0}}, "
           "{pos = {x = 0, y = 0, z = 2000}}}, }, },\n"
           "{SceneGUID = 2, Transform = {}, SplineCrawler = {persistVelocity = 20, }, },\n"
           "{SceneGUID = 3, Transform = {}, Player = {}, Health = {maxHP = 10, currentHP = 10, }, },\n" +
           more +
           "}\n"
           "ParentChild = { { Parent = 2, Child = 3}, }\n"
           "SplineCrawlers = { { SplineCrawler = 2, Spline = 1}, }\n";
}

struct RunawayLevel {
    const char* name;
    const char* archetypeName;
    const char* archetype;  // the file's text
    const char* instances;  // the scene's extra instances, or the archetype's instance table
};

// Each child makes its own log: a logger (and its writer thread) alive in the
// test process when it forks could hold a lock the child then waits on forever.
using RunawayLevelTest = ::testing::Test;

TEST_F(RunawayLevelTest, SelfFeedingLevelsEndEveryFrameWithinTheSpawnBudgets) {
    const RunawayLevel levels[] = {
        {"spawner whose objects' TimeLord fires its code", "Looper",
         "Transform = {}\n\nSpawner = {archetype = \"Looper\", triggerCode = 7, }\n\n"
         "TimeLord = {times = {0, }, codes = {7, }, }\n\n",
         "LooperInstances = { {SceneGUID = 10, }, }\n"},
        {"enemy whose weapon fires its own archetype", "Gunner",
         "Transform = {position = {x = 0, y = 0, z = 50}, }\n\nBrain = {}\n\n"
         "Weapon = {maxRechargeTime = 0, projectileArchetypes = {\"Gunner\", }, }\n\n"
         "Projectile = {bulletVelocity = 1, }\n\nProjectilePatternManager = {patternToUse = \"Normal\", }\n\n",
         "GunnerInstances = { {SceneGUID = 10, }, }\n"},
        {"multi-spawner whose archetype is itself", "Multi",
         "Transform = {}\n\nSplineMultiSpawner = {archetype = \"Multi\", autoTrigger = true, numSpawns = 2, "
         "distanceAlongSpline = 100, distanceStep = 1, }\n\n",
         "MultiInstances = { {SceneGUID = 10, }, }\n"},
    };
    for (const RunawayLevel& level : levels) {
        // In a child: a frame that never ended would be a time-out, not a stuck test.
        const ChildResult result =
            ChildProcess::Fork("/", [&] {
                LogCapture log;
                PlayWorld world;
                world.WriteFile(std::string("arch/") + level.archetypeName + ".arch", level.archetype);
                const std::string scene = LevelWithShip(std::string("\"") + level.archetypeName + "\",", "");
                world.WriteFile("scene/Runaway.scn", scene + level.instances);
                if (!world.scene->LoadScene(world.ScenePath("Runaway"))) std::_Exit(3);
                std::size_t before = world.ObjectCount(), mostInAFrame = 0;
                for (int frame = 0; frame < 16; ++frame) {
                    world.Frame();
                    const std::size_t now = world.ObjectCount();
                    mostInAFrame = std::max(mostInAFrame, now > before ? now - before : 0);
                    before = now;
                }
                std::fprintf(stderr, "%zu %zu", world.ObjectCount(), mostInAFrame);
            }).Wait(120);
        ASSERT_FALSE(result.timedOut) << level.name;
        ASSERT_TRUE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == 0) << level.name << result.errorText;
        std::size_t objects = 0, mostInAFrame = 0;
        ASSERT_EQ(std::sscanf(result.errorText.c_str(), "%zu %zu", &objects, &mostInAFrame), 2) << result.errorText;
        EXPECT_GT(objects, 20u) << level.name << ": it does feed itself";
        EXPECT_LE(objects, SpawnBudget::kLive + 20) << level.name;
        EXPECT_LE(mostInAFrame, SpawnBudget::kPerFrame) << level.name;
    }
}

// Loads the scene `text` in a child, plays a frame, clears it and plays
// another; returns the child with its report on stderr: what `inUse` counted
// after the load and after the clear, and the rows holding `refusal`.
ChildResult LoadAndClear(const std::string& text, u64 (*inUse)(), const char* refusal) {
    return ChildProcess::Fork("/",
                              [&] {
                                  LogCapture log;
                                  PlayWorld world;
                                  world.WriteFile("scene/Runaway.scn", text);
                                  const bool loaded = world.scene->LoadScene(world.ScenePath("Runaway"));
                                  world.Frame();
                                  std::fprintf(stderr, "loaded %d, in use %llu\n", loaded ? 1 : 0,
                                               static_cast<unsigned long long>(inUse()));
                                  world.scene->ClearScene();
                                  world.Frame();
                                  std::fprintf(stderr, "after clear %llu, rows %zu\n",
                                               static_cast<unsigned long long>(inUse()),
                                               LogCapture::CountContaining(log.Messages(), refusal));
                              })
        .Wait(120);
}

TEST_F(RunawayLevelTest, TunnelsPastTheScenesGeometryBudgetAreRefusedNamingTheirPathWithMemoryBounded) {
    // 20 paths of 20 km, each a tunnel of 128 sides every 20 m (257,000
    // vertices): three fit the budget; the first of the others gets the row.
    std::string text = "Archetypes = { \"\", }\nInstances = {\n";
    for (int path = 0; path < 20; ++path)
        text += "{SceneGUID = " + std::to_string(100 + path) +
                ", Transform = {}, PlayerPath = {wps = {{pos = {x = 0, y = 0, z = 0}}, "
                "{pos = {x = 0, y = 0, z = 20000}}}, extrudeTunnelOverPath = true, tunnelSideCount = 128, "
                "frameDelta = 20, tunnelRadius = 30, }, },\n";
    const ChildResult result =
        LoadAndClear(text + "}\n", &PlayerPath::TunnelVerticesInUse, "would take the scene's tunnels past");
    ASSERT_FALSE(result.timedOut);
    ASSERT_TRUE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == 0) << result.errorText;
    const unsigned long long perPath = 2ull * 999 * 129;
    EXPECT_EQ(result.errorText, "loaded 1, in use " + std::to_string(3 * perPath) + "\nafter clear 0, rows 1\n");
    if (PeakMemoryIsMeaningful()) {
        EXPECT_LT(result.peakKilobytes, 400 * 1024) << "kB at the peak";
    }
}

TEST_F(RunawayLevelTest, TracksPastTheScenesSampleBudgetAreRefusedEachWithARowAndMemoryBounded) {
    // A short track that fits, then ten tracks sharing one table of 100,000
    // points (each cut to 65,535 points: 6.6 million samples, 238 MB).
    const ChildResult result = LoadAndClear(
        "Archetypes = { \"\", }\n"
        "local w = {} for i = 1, 100000 do w[i] = {pos = {x = 0, y = 0, z = i}} end\n"
        "Instances = { {SceneGUID = 1, PlayerPath = {wps = {{pos = {x = 0, y = 0, z = 0}}, "
        "{pos = {x = 0, y = 0, z = 10}}}, }, }, }\n"
        "for i = 2, 11 do Instances[i] = {SceneGUID = i, PlayerPath = {wps = w, }, } end\n",
        &PlayerPath::TrackSamplesInUse, "would take the scene's tracks past");
    ASSERT_FALSE(result.timedOut);
    ASSERT_TRUE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == 0) << result.errorText;
    EXPECT_EQ(result.errorText, "loaded 1, in use 102\nafter clear 0, rows 1\n");
    if (PeakMemoryIsMeaningful()) {
        EXPECT_LT(result.peakKilobytes, 400 * 1024) << "kB at the peak";
    }
}

// A level of one long track loaded again at once, before the old objects
// are deleted at the frame's end: the old path gives its samples back as it
// is shut down, so the new one gets its track (two of them would pass the
// budget).
TEST_F(RunawayLevelTest, ALevelLoadedAgainAtOnceKeepsItsTrack) {
    const std::string text =
        "Archetypes = { \"\", }\n"
        "local w = {} for i = 1, 6000 do w[i] = {pos = {x = 0, y = 0, z = i}} end\n"
        "Instances = { {SceneGUID = 1, Transform = {}, PlayerPath = {wps = w, }, }, }\n";
    const struct {
        const char* how;
        bool reload;
    } ways[] = {{"loaded twice in a row", false}, {"reloaded", true}};
    for (const auto& way : ways) {
        const ChildResult result =
            ChildProcess::Fork("/", [&] {
                LogCapture log;
                PlayWorld world;
                world.WriteFile("scene/Track.scn", text);
                bool loaded = world.scene->LoadScene(world.ScenePath("Track"));
                loaded = (way.reload ? world.scene->ReloadScene() : world.scene->LoadScene(world.ScenePath("Track"))) &&
                         loaded;
                std::size_t samples = 0;
                for (u32 id : world.scene->GetObjectIds())
                    if (const PlayerPath* path = world.overlord.GetGameObject(id)->GetComponent<PlayerPath>())
                        samples += path->spline.samples.size();
                std::fprintf(stderr, "loaded %d, in use %llu, samples %zu, rows %zu\n", loaded ? 1 : 0,
                             static_cast<unsigned long long>(PlayerPath::TrackSamplesInUse()), samples,
                             LogCapture::CountContaining(log.Messages(), "would take the scene's tracks past"));
            }).Wait(120);
        ASSERT_FALSE(result.timedOut) << way.how;
        ASSERT_TRUE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == 0) << way.how << result.errorText;
        // 1 + 101 samples for each of the 5,999 segments.
        EXPECT_EQ(result.errorText, "loaded 1, in use 605900, samples 605900, rows 0\n") << way.how;
    }
}

TEST_F(RunawayLevelTest, PathsPastTheScenesTrackOrTunnelBudgetGiveOneRowEachScene) {
    struct Case {
        const char* name;
        const char* instances;  // each path's instance table
        int paths;
        const char* refusal;
    };
    const Case cases[] = {
        // 10,000 samples a track: 100 fit.
        {"tracks", "{SceneGUID = i, PlayerPath = {wps = w, }, }", 150, "would take the scene's tracks past"},
        // 257,742 vertices a tunnel: 3 fit.
        {"tunnels",
         "{SceneGUID = i, Transform = {}, PlayerPath = {wps = {w[1], w[100]}, extrudeTunnelOverPath = true, "
         "tunnelSideCount = 128, frameDelta = 0.099, }, }",
         10, "would take the scene's tunnels past"},
    };
    for (const Case& c : cases) {
        const std::string text =
            "Archetypes = { \"\", }\nInstances = {}\n"
            "local w = {} for i = 1, 100 do w[i] = {pos = {x = 0, y = 0, z = i}} end\n"
            "for i = 1, " +
            std::to_string(c.paths) + " do Instances[i] = " + c.instances + " end\n";
        const ChildResult result =
            ChildProcess::Fork("/", [&] {
                LogCapture log;
                PlayWorld world;
                world.WriteFile("scene/Paths.scn", text);
                for (int load = 0; load < 2; ++load) {
                    world.scene->ClearScene();
                    world.scene->LoadScene(world.ScenePath("Paths"));
                    world.Frame();
                }
                world.scene->ClearScene();
                std::fprintf(stderr, "rows %zu", LogCapture::CountContaining(log.Messages(), c.refusal));
            }).Wait(120);
        ASSERT_FALSE(result.timedOut) << c.name;
        ASSERT_TRUE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == 0) << c.name << result.errorText;
        EXPECT_EQ(result.errorText, "rows 2") << c.name << ": one row for each of the two loads";
    }
}

// The process's CPU seconds so far (the log's writer thread included).
double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Plays the scene `text` in a child for a first frame, then `frames` more;
// reports on stderr the CPU seconds of those frames, the bytes of the log,
// its "BOOM!" rows and its rows saying a step had too many contacts.
ChildResult PlayAndMeasure(const std::string& text, int frames) {
    return ChildProcess::Fork("/",
                              [&] {
                                  double seconds = 0.0;
                                  LogCapture log;
                                  {
                                      PlayWorld world;
                                      world.WriteFile("scene/Heap.scn", text);
                                      if (!world.scene->LoadScene(world.ScenePath("Heap"))) std::_Exit(3);
                                      world.Frame();
                                      const double start = CpuSeconds();
                                      for (int frame = 0; frame < frames; ++frame) world.Frame();
                                      seconds = CpuSeconds() - start;
                                  }
                                  const std::uintmax_t bytes = log.FileBytes();
                                  const std::vector<std::string> rows = log.Messages();
                                  std::fprintf(stderr, "%f %ju %zu %zu", seconds, bytes,
                                               LogCapture::CountContaining(rows, "BOOM!"),
                                               LogCapture::CountContaining(rows, "contacts in one step"));
                              })
        .Wait(240);
}

TEST_F(RunawayLevelTest, ThousandTouchingCollidersKeepTheLogSmallAndTheirFramesNearAPlainScenes) {
    // 1,000 objects each with a cylinder and a sphere at one spot: a million
    // cylinder contacts and half a million sphere contacts a step.
    const std::string heap =
        "Archetypes = { \"\" } local e = {} for i = 1, 1000 do Instances[i] = {SceneGUID = i, Transform = e, "
        "CylinderCollision = e, SphereCollision = e} end\n";
    const std::string plain =
        "Archetypes = { \"\" } local e = {} for i = 1, 1000 do Instances[i] = {SceneGUID = i, Transform = e} end\n";
    constexpr int kFrames = 30;
    double seconds[2] = {};
    std::uintmax_t bytes[2] = {};
    std::size_t booms[2] = {}, full[2] = {};
    const std::string* scenes[2] = {&plain, &heap};
    for (int i = 0; i < 2; ++i) {
        const ChildResult result = PlayAndMeasure("Instances = {}\n" + *scenes[i], kFrames);
        ASSERT_FALSE(result.timedOut) << i;
        ASSERT_TRUE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == 0) << i << result.errorText;
        const std::size_t last = result.errorText.rfind('\n');
        const std::string report = result.errorText.substr(last == std::string::npos ? 0 : last + 1);
        ASSERT_EQ(std::sscanf(report.c_str(), "%lf %ju %zu %zu", &seconds[i], &bytes[i], &booms[i], &full[i]), 4)
            << result.errorText;
    }
    std::printf("plain: %f s, %ju bytes; touching: %f s, %ju bytes\n", seconds[0], bytes[0], seconds[1], bytes[1]);
    // A plain headless frame costs microseconds: the allowance, 10 ms a frame
    // (a frame of play is 16.7 ms), is what a busy machine may add.
    EXPECT_LT(bytes[1], bytes[0] + (4u << 20)) << "bytes of log after " << kFrames << " frames";
    EXPECT_LT(seconds[1], 8.0 * seconds[0] + 0.01 * kFrames) << "CPU seconds of " << kFrames << " frames";
    EXPECT_EQ(booms[1], (kFrames + 1) * ContactBudget::kPerStep) << "rows of cylinder contacts, the budget's each step";
    EXPECT_EQ(full[1], 2u) << "one row for each pass in the scene";
}

}  // namespace
