// libFuzzer target: the game's tables. An input is either scene text (the
// seeds are the levels; the fuzzer mutates them) or bytes that drive a
// generator writing a scene and an archetype over every registered component
// class: members of their own and of other types, extreme numbers, lists,
// archetypes naming themselves. The scene is loaded by the real loader into
// the real class table, played for a few headless frames of Physics,
// GameLogic and BehaviorSystem, then cleared. Whatever the tables say, that
// must return, within the spawn budgets, and leave nothing behind.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "game/level/SpawnBudget.h"
#include "reflection/IMeta.h"
#include "reflection/IMetaClass.h"
#include "reflection/IMetaMemVar.h"
#include "tests/game/PlayWorld.h"

namespace {

constexpr int kFrames = 4;
constexpr std::size_t kMostObjects = 12;    // generated instances per scene
constexpr std::size_t kMostComponents = 6;  // classes per generated object
constexpr std::size_t kMostMembers = 8;     // members set per component

void Quiet(const std::string&, const std::string&) {}

void Check(bool condition) {
    if (!condition) std::abort();
}

struct Member {
    std::string name;
    std::string type;  // the value type's name ("float", "std::vector", a struct's name)
};
struct ComponentClass {
    std::string name;
    std::vector<Member> members;
};

struct World : PlayWorld {
    std::vector<ComponentClass> classes;

    World() {
        SceneLoader::SetFailureReporter(&Quiet);
        loader->SetRunLimits(2'000'000, 64u << 20);
        // The levels' archetypes, for the seeds (a folder's files are copied
        // only with `recursive`).
        std::error_code ignored;
        std::filesystem::copy(
            DD_ASSET_DIR "/arch", Root() + "/arch",
            std::filesystem::copy_options::overwrite_existing | std::filesystem::copy_options::recursive, ignored);
        Check(!std::filesystem::is_empty(Root() + "/arch"));
        for (const std::string& name : factory.GetComponentClassNames()) {
            const IMetaClass* metaClass = registry->GetByName(name);
            if (!metaClass) continue;
            ComponentClass entry{name, {}};
            for (IMetaMemVar* m = FirstWalkedMember(*metaClass); m; m = m->Next())
                if (!m->GetName().empty()) entry.members.push_back({m->GetName(), m->GetType()->GetName()});
            classes.push_back(std::move(entry));
        }
    }
};

World& TheWorld() {
    static World* world = new World();
    return *world;
}

// A value of the member's own type, or now and then of any other kind.
std::string Value(FuzzedDataProvider& in, const std::string& type, int depth);

std::string Number(FuzzedDataProvider& in) {
    static const char* const kExtremes[] = {"0",    "-1",    "1e38",      "-1e38",      "3.4e38",      "1/0",
                                            "-1/0", "0/0",   "1e-45",     "2147483647", "-2147483648", "4294967295",
                                            "-0",   "1e300", "0.0166667", "100000"};
    if (in.ConsumeBool()) return kExtremes[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kExtremes) - 1)];
    return std::to_string(in.ConsumeIntegralInRange<int>(-1000, 1000));
}

std::string Text(FuzzedDataProvider& in) {
    static const char* const kNames[] = {"Self", "Normal", "Drone", "EnemyBullet", "", "Ship", "Tunnel", "../x"};
    return "\"" + std::string(kNames[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kNames) - 1)]) + "\"";
}

std::string Table(FuzzedDataProvider& in, int depth) {
    if (depth > 2) return "{}";
    std::string text = "{";
    const int entries = in.ConsumeIntegralInRange<int>(0, 4);
    static const char* const kKeys[] = {"x", "y", "z", "w", "pos", "orientation", "r", "g", "b", "a", "StartVal"};
    for (int i = 0; i < entries; ++i) {
        if (in.ConsumeBool()) text += std::string(kKeys[in.ConsumeIntegralInRange<std::size_t>(0, 10)]) + " = ";
        text += Value(in, in.ConsumeBool() ? "float" : "table", depth + 1) + ", ";
    }
    return text + "}";
}

std::string Value(FuzzedDataProvider& in, const std::string& type, int depth) {
    std::string kind = type;
    if (in.ConsumeIntegralInRange<int>(0, 7) == 0) {
        static const char* const kKinds[] = {"float", "bool", "std::string", "table"};
        kind = kKinds[in.ConsumeIntegralInRange<int>(0, 3)];
    }
    if (kind == "float" || kind == "int" || kind == "unsigned") return Number(in);
    if (kind == "bool") return in.ConsumeBool() ? "true" : "false";
    if (kind == "std::string" || kind == "FilePath") return Text(in);
    return Table(in, depth);
}

// One object's component tables.
std::string Components(FuzzedDataProvider& in, const World& world) {
    std::string text;
    const std::size_t count = in.ConsumeIntegralInRange<std::size_t>(0, kMostComponents);
    for (std::size_t c = 0; c < count && !world.classes.empty(); ++c) {
        const ComponentClass& cls = world.classes[in.ConsumeIntegralInRange<std::size_t>(0, world.classes.size() - 1)];
        text += cls.name + " = {";
        const std::size_t members = in.ConsumeIntegralInRange<std::size_t>(0, kMostMembers);
        for (std::size_t m = 0; m < members && !cls.members.empty(); ++m) {
            const Member& member = cls.members[in.ConsumeIntegralInRange<std::size_t>(0, cls.members.size() - 1)];
            text += member.name + " = " + Value(in, member.type, 0) + ", ";
        }
        text += "}, ";
    }
    return text;
}

// A scene of generated objects and the archetype "Self" they may name.
std::string Generate(FuzzedDataProvider& in, World& world) {
    std::string archetype;
    const std::size_t archComponents = in.ConsumeIntegralInRange<std::size_t>(0, 3);
    for (std::size_t c = 0; c < archComponents; ++c) {
        std::string one = Components(in, world);
        if (one.size() > 2) archetype += one.substr(0, one.size() - 2) + "\n\n";
    }
    world.WriteFile("arch/Self.arch", archetype);
    std::string text = "Archetypes = { \"\", \"Self\", }\nInstances = {\n";
    const std::size_t objects = in.ConsumeIntegralInRange<std::size_t>(0, kMostObjects);
    for (std::size_t i = 0; i < objects; ++i)
        text += "{SceneGUID = " + std::to_string(1000 + i) + ", " + Components(in, world) + "},\n";
    text += "}\nSelfInstances = {\n";
    const std::size_t selves = in.ConsumeIntegralInRange<std::size_t>(0, 2);
    for (std::size_t i = 0; i < selves; ++i) text += "{SceneGUID = " + std::to_string(2000 + i) + ", },\n";
    text += "}\nParentChild = {\n";
    for (int i = in.ConsumeIntegralInRange<int>(0, 2); i > 0; --i)
        text += "{ Parent = " + std::to_string(in.ConsumeIntegralInRange<int>(999, 1003)) +
                ", Child = " + std::to_string(in.ConsumeIntegralInRange<int>(999, 1003)) + "},\n";
    text += "}\nSplineCrawlers = {\n";
    for (int i = in.ConsumeIntegralInRange<int>(0, 2); i > 0; --i)
        text += "{ SplineCrawler = " + std::to_string(in.ConsumeIntegralInRange<int>(1000, 1003)) +
                ", Spline = " + std::to_string(in.ConsumeIntegralInRange<int>(1000, 1003)) + "},\n";
    return text + "}\n";
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("CI", "1", 1);  // message boxes go to stderr
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const u8* data, std::size_t size) {
    World& w = TheWorld();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::string scene;
    if (bytes.rfind("Archetypes", 0) == 0) {
        scene = bytes;  // a level, or what the fuzzer made of one
    } else {
        FuzzedDataProvider in(data, size);
        scene = Generate(in, w);
    }
    w.WriteFile("scene/Input.scn", scene);
    if (w.scene->LoadScene(w.ScenePath("Input")))
        for (int frame = 0; frame < kFrames; ++frame) {
            const std::size_t before = w.ObjectCount();
            w.Frame();
            // Every frame returns; what it made stays within the budget
            // (tunnel pieces and carriers come on top of spawned objects).
            Check(w.ObjectCount() <= before + 3 * SpawnBudget::kPerFrame);
        }
    w.scene->ClearScene();
    w.Frame();
    w.Frame();
    // Nothing of a level outlives its clear (the first clear sets the mark:
    // the systems' own objects).
    static const std::size_t kAfterFirstClear = w.ObjectCount();
    Check(w.ObjectCount() <= kAfterFirstClear);
    return 0;
}
