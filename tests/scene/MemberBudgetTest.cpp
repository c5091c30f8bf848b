// The per-scene budget of what reflected lists and strings hold: a table or
// string that a scene hands to many objects is counted at each use, the
// objects past the bound are refused with one row and the rest of the level
// loads, as read.
#include <sys/resource.h>
#include <time.h>

#include <cstdio>
#include <filesystem>

#include "SceneTestSupport.h"
#include "reflection/MemberBudget.h"
#include "tests/port/ChildProcess.h"
#include "tests/support/LogCapture.h"

namespace {

struct LordFields {
    std::vector<float> times;
    std::vector<int> codes;
};
// The level trigger's reflected lists, as the shipped class has them.
class TimeLord : public FieldsComponent<TimeLord, LordFields> {
public:
    TimeLord() {
        static bool first = true;
        if (!first) return;
        first = false;
        MetaMemVar<TimeLord>::Add("times", this, f.times);
        MetaMemVar<TimeLord>::Add("codes", this, f.codes);
    }
};

struct ShelfFields {
    std::vector<std::string> names;
    std::vector<std::vector<float>> rows;
};
// Lists whose elements hold lists and strings of their own, as a Material's
// file names or a ParticleEffect's archetype names are held.
class Shelf : public FieldsComponent<Shelf, ShelfFields> {
public:
    Shelf() {
        static bool first = true;
        if (!first) return;
        first = false;
        MetaMemVar<Shelf>::Add("names", this, f.names);
        MetaMemVar<Shelf>::Add("rows", this, f.rows);
    }
};

class MemberBudgetTest : public SceneFixture {
protected:
    MemberBudgetTest() {
        factory.RegisterComponentPrototype<TimeLord>("TimeLord", new TimeLord());
        registry.Register<TimeLord>("TimeLord");
        factory.RegisterComponentPrototype<Shelf>("Shelf", new Shelf());
        registry.Register<Shelf>("Shelf");
    }
    // The rows of the log that say an object was refused.
    static std::vector<std::string> RefusalRows(LogCapture& capture) {
        std::vector<std::string> rows;
        for (const std::string& row : capture.Messages())
            if (row.find("was not made") != std::string::npos || row.find("it is not made") != std::string::npos)
                rows.push_back(row);
        return rows;
    }
};

constexpr const char* kSharedLists =
    "Archetypes = { '' } Instances = {} "
    "local c, t = {}, {} for i = 1, 1000000 do c[i] = 1 t[i] = 1e9 end "
    "for i = 1, 1000 do Instances[i] = {SceneGUID = i, TimeLord = {codes = c, times = t}} end";

}  // namespace

// The 188 bytes: 1,000 objects naming one pair of 1,000,000-element
// lists. Loaded in a child whose address space is capped, so that without
// the budget it fails there instead of taking the machine.
TEST_F(MemberBudgetTest, SharedListsOfAThousandObjectsLoadUnderAGigabyteWithOneRow) {
    WriteFile("scenes/Lords.scn", kSharedLists);
    ChildProcess child = ChildProcess::Fork(root, [this] {
        if (PeakMemoryIsMeaningful()) {
            const rlimit cap{std::size_t(3) << 30, std::size_t(3) << 30};
            setrlimit(RLIMIT_AS, &cap);
        }
        LogCapture capture;
        const bool loaded = scene.LoadScene(Path("scenes/Lords.scn"));
        const std::vector<std::string> rows = RefusalRows(capture);
        std::fprintf(stderr, "loaded %d objects %zu rows %zu\n%s\n", loaded, scene.GetObjectIds().size(), rows.size(),
                     rows.empty() ? "" : rows.front().c_str());
    });
    const ChildResult result = child.Wait(120);
    ASSERT_TRUE(WIFEXITED(result.status)) << result.errorText;
    if (PeakMemoryIsMeaningful()) {
        EXPECT_LT(result.peakKilobytes, 1L << 20);
    }
    // 8 MB an object: eight fit in 64 MiB, the ninth is the first refused.
    EXPECT_NE(result.errorText.find("loaded 1 objects 8 rows 1\n"), std::string::npos) << result.errorText;
    EXPECT_NE(result.errorText.find("Instances[9] (SceneGUID 9) was not made"), std::string::npos) << result.errorText;
    EXPECT_NE(result.errorText.find("992 objects in all were refused"), std::string::npos) << result.errorText;
}

// The objects past the budget are refused before their lists are read: the
// 188 bytes load in well under a second of CPU time (a read of each refused
// object's lists up to the budget took 22 s).
TEST_F(MemberBudgetTest, SharedListsOfAThousandObjectsAreRefusedWithoutBeingRead) {
    WriteFile("scenes/Lords.scn", kSharedLists);
    timespec start{}, end{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &start);
    ASSERT_TRUE(scene.LoadScene(Path("scenes/Lords.scn")));
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &end);
    const double seconds = double(end.tv_sec - start.tv_sec) + double(end.tv_nsec - start.tv_nsec) * 1e-9;
    EXPECT_EQ(scene.GetObjectIds().size(), 8u);
    EXPECT_LT(seconds, 5.0) << "seconds of CPU time for the load";
}

// A big value one level down, shared by three objects: 64 uses of one
// 16 MiB string in a list of strings, 64 uses of one 4,000,000-number list
// in a list of lists. Each use is counted as it is read, so each object is
// refused after a few of them instead of copying a gigabyte first.
TEST_F(MemberBudgetTest, ABigValueOneLevelDownIsRefusedAsItIsRead) {
    const struct {
        const char* form;
        const char* value;  // `v`, used 64 times in the list `l`
        const char* member;
    } cases[] = {
        {"a string in a list", "local v = 'W' for i = 1, 24 do v = v .. v end ", "names"},
        {"a list in a list", "local v = {} for i = 1, 4000000 do v[i] = i end ", "rows"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.form);
        WriteFile("scenes/Deep.scn", std::string("Archetypes = { '' } Instances = {} ") + c.value +
                                         "local l = {} for i = 1, 64 do l[i] = v end "
                                         "for i = 1, 3 do Instances[i] = {SceneGUID = i, Shelf = {" +
                                         c.member +
                                         " = l}} end "
                                         "Instances[4] = {SceneGUID = 4, Spline = {}}");
        ChildResult result =
            ChildProcess::Fork(root, [this] {
                if (PeakMemoryIsMeaningful()) {
                    const rlimit cap{std::size_t(3) << 30, std::size_t(3) << 30};
                    setrlimit(RLIMIT_AS, &cap);
                }
                LogCapture capture;
                const bool loaded = scene.LoadScene(Path("scenes/Deep.scn"));
                const std::vector<std::string> rows = RefusalRows(capture);
                std::fprintf(stderr, "loaded %d objects %zu rows %zu\n%s\n", loaded, scene.GetObjectIds().size(),
                             rows.size(), rows.empty() ? "" : rows.front().c_str());
            }).Wait(120);
        ASSERT_TRUE(WIFEXITED(result.status)) << result.errorText;
        if (PeakMemoryIsMeaningful()) {
            EXPECT_LT(result.peakKilobytes, 512L << 10);
        }
        EXPECT_NE(result.errorText.find("loaded 1 objects 1 rows 1\n"), std::string::npos) << result.errorText;
        EXPECT_NE(result.errorText.find("Instances[1] (SceneGUID 1) was not made"), std::string::npos)
            << result.errorText;
        EXPECT_NE(result.errorText.find("3 objects in all were refused"), std::string::npos) << result.errorText;
    }
}

// Three ways to hand one big value to many objects, each between small
// objects that must all stay: the objects that fit keep what they read in
// full, the first one past the budget is named in the one row, and a save
// over the file (which would lose the refused ones) is refused.
TEST_F(MemberBudgetTest, EachUseOfABigValueCountsAndOnlyTheObjectsPastTheBudgetAreRefused) {
    const std::string list = "local t = {} for i = 1, 1000000 do t[i] = i end ";
    const std::string text = "local s = 'W' for i = 1, 24 do s = s .. s end ";
    const std::string smalls = "for i = 1, 30 do Instances[#Instances + 1] = {SceneGUID = 1000 + i, Spline = {}} end ";
    // Each object is charged what it holds (a Body's tag "none" is 4 bytes)
    // and, while it reads, what it replaces: the fourth 16 MiB text passes
    // 64 MiB by the 4 bytes of that tag.
    struct Case {
        const char* form;
        std::string scene;
        std::string archetype;  // Heavy.arch, when the form uses one
        std::size_t samples, tagBytes;
        std::size_t heavy, made, small;
        const char* firstRefused;
    };
    const Case cases[] = {
        {"a shared list read per object",
         "Archetypes = { '' } Instances = {} " + list + smalls +
             "for i = 1, 40 do Instances[#Instances + 1] = {SceneGUID = i, Body = {samples = t}} end " + smalls,
         "", 1000000, 4, 40, 16, 60, "Instances[47] (SceneGUID 17)"},
        {"an archetype's list cloned per instance",
         "Archetypes = { '', 'Heavy' } Instances = {} " + smalls +
             "HeavyInstances = {} for i = 1, 40 do HeavyInstances[i] = {SceneGUID = i} end",
         list + "Body = { samples = t }", 1000000, 4, 40, 15, 30, "HeavyInstances[16] (SceneGUID 16)"},
        {"one 16 MB string in 200 texts",
         "Archetypes = { '' } Instances = {} " + text + smalls +
             "for i = 1, 200 do Instances[#Instances + 1] = {SceneGUID = i, Body = {tag = s}} end",
         "", 0, 16u << 20, 200, 3, 30, "Instances[34] (SceneGUID 4)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form);
        WriteFile("scenes/Big.scn", c.scene);
        WriteFile("archetypes/Heavy.arch", c.archetype);
        LogCapture capture;
        ASSERT_TRUE(scene.LoadScene(Path("scenes/Big.scn")));
        std::size_t made = 0;
        for (u32 id : scene.GetObjectIds()) {
            const Body* body = Object(id)->GetComponent<Body>();
            if (!body) continue;
            ++made;
            EXPECT_EQ(body->f.samples.size(), c.samples);
            EXPECT_EQ(body->f.tag.size(), c.tagBytes);
        }
        EXPECT_EQ(made, c.made);
        EXPECT_EQ(scene.GetObjectIds().size() - made, c.small);
        EXPECT_LE(MemberBudget::Current().used, MemberBudget::kSceneBytes);
        const std::vector<std::string> rows = RefusalRows(capture);
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_NE(rows[0].find(c.firstRefused), std::string::npos) << rows[0];
        EXPECT_NE(rows[0].find(std::to_string(c.heavy - made) + " objects in all"), std::string::npos) << rows[0];

        reports.clear();
        EXPECT_FALSE(scene.SaveScene(Path("scenes/Big.scn")));
        EXPECT_EQ(ReadFile("scenes/Big.scn"), c.scene);
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_NE(reports[0].text.find("the save would lose them"), std::string::npos);
        // Nor is the scene saved without them under another name.
        EXPECT_FALSE(scene.SaveScene(Path("scenes/Other.scn")));
        EXPECT_FALSE(std::filesystem::exists(Path("scenes/Other.scn")));
        Tidy();
    }
}

// Objects made during play count while they live: a spawner of an archetype
// holding a 4 MB list gets refusals (one row) once what is alive passes the
// budget, and is served again as those objects go.
TEST_F(MemberBudgetTest, PlayObjectsAreRefusedOnlyWhileWhatIsAliveFillsTheBudget) {
    WriteFile("archetypes/Heavy.arch", "local t = {} for i = 1, 1000000 do t[i] = i end Body = { samples = t }");
    scene.ClearScene();
    LogCapture capture;
    std::vector<u32> made;
    for (int i = 0; i < 100; ++i)
        if (const u32 id = factory.Instantiate("Heavy", false)) made.push_back(id);
    // The prototype holds one list of 4 MB, each clone another: 16 in 64 MiB.
    EXPECT_EQ(made.size(), 15u);
    for (u32 id : made) overlord.UnregisterGameObject(id);
    hub.DispatchQueued();
    graveyard.Collect(1000.0f);
    EXPECT_NE(factory.Instantiate("Heavy", false), 0u);
    EXPECT_EQ(RefusalRows(capture).size(), 1u);
}
