// Load and save of a generated scene of 5,000 objects with three components
// each (Transform and two small gameplay-like components), against the time
// Lua alone takes to compile and run the same file.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <lua.hpp>

#include "engine/Transform.h"
#include "tests/scene/SceneServices.h"

namespace {

constexpr int kObjects = 5000;

template <class T>
class BenchComponent : public IComponent {
public:
    BenchComponent() : IComponent(TypeId<T>::Get()) {}
    void HandleMessage(Message*) override {}
    void Update(float) override {}
    void Init() override {}
    void Shutdown() override {}
    IComponent* Clone() override {
        T* copy = new T();
        copy->CopyFrom(static_cast<const T&>(*this));
        return copy;
    }
    void DebugDraw() override {}
    u32 GetAliasTypeId() override { return 0; }
};

class Mover : public BenchComponent<Mover> {
public:
    Mover() {
        static bool first = true;
        if (!first) return;
        first = false;
        MetaMemVar<Mover>::Add("speed", this, speed);
        MetaMemVar<Mover>::Add("velocity", this, velocity);
        MetaMemVar<Mover>::Add("active", this, active);
    }
    void CopyFrom(const Mover& o) { speed = o.speed, velocity = o.velocity, active = o.active; }
    float speed = 1;
    D3DXVECTOR3 velocity;
    bool active = true;
};

class Tag : public BenchComponent<Tag> {
public:
    Tag() {
        static bool first = true;
        if (!first) return;
        first = false;
        MetaMemVar<Tag>::Add("label", this, label);
        MetaMemVar<Tag>::Add("points", this, points);
        MetaMemVar<Tag>::Add("weights", this, weights);
    }
    void CopyFrom(const Tag& o) { label = o.label, points = o.points, weights = o.weights; }
    std::string label = "rock";
    int points = 10;
    std::vector<float> weights;
};

struct World : SceneServices {
    std::string file;

    World() : SceneServices("arch = { path = 'arch/', extension = '.arch' }\n") {
        std::filesystem::create_directories(root + "/arch");
        factory.RegisterComponentPrototype<Transform>("Transform", new Transform());
        registry.Register<Transform>("Transform");
        factory.RegisterComponentPrototype<Mover>("Mover", new Mover());
        registry.Register<Mover>("Mover");
        factory.RegisterComponentPrototype<Tag>("Tag", new Tag());
        registry.Register<Tag>("Tag");
        for (int a = 0; a < 10; ++a)
            std::ofstream(root + "/arch/Kind" + std::to_string(a) + ".arch")
                << "Transform = {}\n\nMover = { speed = " << a << " }\n\nTag = { points = " << a * 5 << " }\n\n";
        // Every object differs from its archetype in position and more.
        for (int i = 0; i < kObjects; ++i) {
            const u32 id = factory.Instantiate("Kind" + std::to_string(i % 10), true);
            GameObject* object = overlord.GetGameObject(id);
            object->GetComponent<Transform>()->position = D3DXVECTOR3(i * 0.5f, i % 7 * 1.25f, -i * 0.125f);
            object->GetComponent<Mover>()->velocity = D3DXVECTOR3(1, 0, i * 0.001f);
            object->GetComponent<Tag>()->weights = {0.25f, i * 1.5f};
            if (i % 10 != 0) object->SetParent(scene.GetObjectIds()[i - i % 10]);
        }
        file = root + "/Bench.scn";
        scene.SaveScene(file);
        Tidy();
    }
};

World& TheWorld() {
    static std::unique_ptr<World> world = std::make_unique<World>();
    return *world;
}

void BM_LuaOnly(benchmark::State& state) {
    World& w = TheWorld();
    lua_State* L = luaL_newstate();
    for (auto _ : state) {
        luaL_loadfile(L, w.file.c_str());
        lua_newtable(L);
        lua_setfenv(L, -2);
        lua_pcall(L, 0, 0, 0);
        lua_gc(L, LUA_GCCOLLECT, 0);
    }
    lua_close(L);
}
BENCHMARK(BM_LuaOnly)->Unit(benchmark::kMillisecond);

void BM_LoadScene(benchmark::State& state) {
    World& w = TheWorld();
    for (auto _ : state) {
        w.scene.LoadScene(w.file);
        state.PauseTiming();
        if (w.scene.GetObjectIds().size() != static_cast<std::size_t>(kObjects)) state.SkipWithError("load failed");
        w.Tidy();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadScene)->Unit(benchmark::kMillisecond);

void BM_SaveScene(benchmark::State& state) {
    World& w = TheWorld();
    w.scene.LoadScene(w.file);
    const std::string out = w.root + "/Saved.scn";
    for (auto _ : state) w.scene.SaveScene(out);
    w.Tidy();
}
BENCHMARK(BM_SaveScene)->Unit(benchmark::kMillisecond);

}  // namespace
