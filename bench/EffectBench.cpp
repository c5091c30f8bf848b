// Particle effects made and finished one after another, as holding fire
// makes them (a bullet's impact effect, its bullet expiring unhit or dying
// with its impact played): the time per effect, and the emitter pool's
// records after 1,000 effects ("pool_records", two 680 KB stream buffers
// each on a device), which stays at what one effect takes.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/RunIdCounter.h"
#include "engine/GameObject.h"
#include "engine/Graveyard.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "render/frame/RenderDevice.h"
#include "render/particle/ParticleEffect.h"
#include "render/particle/ParticleEmmiter.h"
#include "scene/ObjectFactory.h"

namespace {

struct Services {
    MessageHub hub;
    RunIdCounter counter;
    Graveyard graveyard;
    Overlord overlord;
    ObjectFactory factory;
    RenderDevice particles;  // no GPU device: the records without their buffers
};

void BM_ThousandFinishedEffects(benchmark::State& state) {
    for (auto _ : state) {
        Services s;
        GameObject* impact = s.factory.NewGameObject();
        impact->SetArchetypeName("Impact");
        impact->AddComponent(new Transform);
        impact->AddComponent(new ParticleEmmiter);
        s.factory.AddArchetypeByName(impact);

        for (int i = 0; i < 1000; ++i) {
            GameObject* bullet = s.factory.NewGameObject();
            bullet->AddComponent(new Transform);
            auto* effect = new ParticleEffect;
            effect->Archetype(0) = "Impact";
            bullet->AddComponent(effect);
            bullet->Init();
            const u32 emitter = s.overlord.GetComponentId(effect->EmitterObject(0), TypeId<ParticleEmmiter>::Get());
            // Every other bullet dies in a hit, its impact playing.
            if (i % 2 == 0) SendToComponent(kMsgEffectAtPosition, effect->GetId(), 0, D3DXVECTOR3(0, 0, 0));
            s.overlord.UnregisterGameObject(bullet->GetId());
            s.particles.RunEmitters({emitter}, 3.0f, 0.0f, {});  // the run ends, the object goes
            s.graveyard.Collect(1000.0f);
            s.hub.DispatchQueued();
        }
        state.counters["pool_records"] = static_cast<double>(s.particles.RecordCount());
        state.counters["pool_free"] = static_cast<double>(s.particles.FreeCount());
        state.counters["effect_objects_alive"] = static_cast<double>(ParticleEffect::LiveObjects());
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}

}  // namespace

BENCHMARK(BM_ThousandFinishedEffects)->Unit(benchmark::kMillisecond);
