// libFuzzer target: the data-file readers (scene, archetype and reflected
// files) on arbitrary text. Whatever the text, the reader must return, leave
// the Lua stack empty, keep nothing of a file it rejects, and every scene it
// accepts must be written out as a file that loads again.
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <lua.hpp>

#include "engine/GameObject.h"
#include "engine/Transform.h"
#include "reflection/Gradient.h"
#include "reflection/Waypoint.h"
#include "tests/scene/SceneServices.h"

namespace {

struct Trigger {};

// A component with a member of every value kind the files can hold.
class Probe : public IComponent {
public:
    Probe() : IComponent(TypeId<Probe>::Get()) {
        static bool first = true;
        if (!first) return;
        first = false;
        using M = MetaMemVar<Probe>;
        M::Add("count", this, count);
        M::Add("mask", this, mask);
        M::Add("speed", this, speed);
        M::Add("on", this, on);
        M::Add("name", this, name);
        M::Add("where", this, where);
        M::Add("turn", this, turn);
        M::Add("colors", this, colors);
        M::Add("times", this, times);
        M::Add("codes", this, codes);
        M::Add("archetypes", this, archetypes);
        M::Add("path", this, path);
        M::Add("wps", this, wps);
        M::Add("flags", this, flags);
        M::Add("slots", this, slots);
        M::Add("triggers", this, triggers);
    }
    void HandleMessage(Message*) override {}
    void Update(float) override {}
    void Init() override {}
    void Shutdown() override {}
    IComponent* Clone() override {
        Probe* c = new Probe();
        c->count = count, c->mask = mask, c->speed = speed, c->on = on, c->name = name;
        c->where = where, c->turn = turn, c->colors = colors, c->times = times, c->codes = codes;
        c->archetypes = archetypes, c->path = path, c->wps = wps, c->triggers = triggers;
        for (int i = 0; i < 5; ++i) c->flags[i] = flags[i], c->slots[i] = slots[i];
        return c;
    }
    void DebugDraw() override {}
    u32 GetAliasTypeId() override { return 0; }

    int count = 0;
    unsigned mask = 0;
    float speed = 0;
    bool on = false;
    std::string name;
    D3DXVECTOR3 where;
    D3DXQUATERNION turn{0, 0, 0, 1};
    Gradient colors;
    std::vector<float> times;
    std::vector<int> codes;
    std::vector<std::string> archetypes;
    std::deque<D3DXVECTOR3> path;
    std::vector<Waypoint> wps;
    bool flags[5] = {};
    std::string slots[5];
    std::vector<Trigger*> triggers;
};

class SplineCrawler : public IComponent {
public:
    SplineCrawler() : IComponent(TypeId<SplineCrawler>::Get()) {
        static bool first = true;
        if (!first) return;
        first = false;
        MetaMemVar<SplineCrawler>::Add("splineGameObjectID", this, splineGameObjectID);
    }
    void HandleMessage(Message*) override {}
    void Update(float) override {}
    void Init() override {}
    void Shutdown() override {}
    IComponent* Clone() override {
        auto* c = new SplineCrawler();
        c->splineGameObjectID = splineGameObjectID;
        return c;
    }
    void DebugDraw() override {}
    u32 GetAliasTypeId() override { return 0; }
    unsigned splineGameObjectID = 0;
};

// A reflected record for the reflected-file reader.
struct Settings {
    FilePath folder;
    Waypoint start;
    std::vector<Gradient> ramps;
    float gain = 1;
};

void Quiet(const std::string&, const std::string&) {}

struct World : SceneServices {
    const IMetaClass* settingsClass = nullptr;

    World() : SceneServices("arch = { path = 'arch/', extension = '.arch' }\n") {
        SceneLoader::SetFailureReporter(&Quiet);
        loader.SetRunLimits(2'000'000, 64u << 20);
        std::filesystem::create_directories(root + "/arch");
        // Archetypes the seed scenes name.
        std::ofstream(root + "/arch/Ship.arch") << "Transform = { scale = 2 }\n\nProbe = { count = 3 }\n\n";
        std::ofstream(root + "/arch/Rider.arch") << "Transform = {}\n\nSplineCrawler = {}\n\n";
        std::ofstream(root + "/arch/Track.arch") << "Transform = {}\n\n";

        Waypoint::Reflect();
        registry.Register<Waypoint>("Waypoint");
        Gradient::Reflect();
        registry.Register<Gradient>("Gradient");
        factory.RegisterComponentPrototype<Probe>("Probe", new Probe());
        registry.Register<Probe>("Probe");
        factory.RegisterComponentPrototype<SplineCrawler>("SplineCrawler", new SplineCrawler());
        registry.Register<SplineCrawler>("SplineCrawler");
        factory.RegisterComponentPrototype<Transform>("Transform", new Transform());
        registry.Register<Transform>("Transform");
        Settings s;
        MetaMemVar<Settings>::Add("folder", &s, s.folder);
        MetaMemVar<Settings>::Add("start", &s, s.start);
        MetaMemVar<Settings>::Add("ramps", &s, s.ramps);
        MetaMemVar<Settings>::Add("gain", &s, s.gain);
        settingsClass = registry.Register<Settings>("Settings");
    }

    void Check(bool condition) const {
        if (!condition) std::abort();
    }
    void StackEmpty() const { Check(lua_gettop(loader.GetState()) == 0); }
};

World& TheWorld() {
    static World* world = new World();
    return *world;
}

bool Contains(const std::string& text, const char* word) {
    return text.find(word) != std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
    World& w = TheWorld();
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string file = w.root + "/input";
    std::ofstream(file, std::ios::binary) << text;

    if (Contains(text, "Archetypes") || Contains(text, "Instances")) {
        const bool loaded = w.scene.LoadScene(file);
        w.StackEmpty();
        if (!loaded) {
            w.Check(w.scene.GetObjectIds().empty());
        } else {
            const std::size_t objects = w.scene.GetObjectIds().size();
            const std::string saved = w.root + "/saved.scn";
            w.Check(w.scene.SaveScene(saved));
            w.Check(w.scene.LoadScene(saved));  // what the program writes, it reads
            w.Check(w.scene.GetObjectIds().size() == objects);
            w.StackEmpty();
        }
    } else if (Contains(text, "extension")) {
        DevozizuDave folders;
        w.loader.LoadReflected(file, *w.registry.GetByName("DevozizuDave"), &folders);
        w.StackEmpty();
    } else if (Contains(text, "folder") || Contains(text, "gain")) {
        Settings settings;
        w.loader.LoadReflected(file, *w.settingsClass, &settings);
        w.StackEmpty();
    } else {
        std::ofstream(w.root + "/arch/Input.arch", std::ios::binary) << text;
        w.loader.LoadArchetype("Input");
        w.StackEmpty();
        if (w.factory.GetArchetype("Input")) w.Check(w.factory.Instantiate("Input", true) != 0);
    }
    w.Tidy();
    return 0;
}
