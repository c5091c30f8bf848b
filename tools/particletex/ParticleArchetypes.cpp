#include "tools/particletex/ParticleArchetypes.h"

#include "engine/GameObject.h"
#include "engine/Transform.h"
#include "reflection/Gradient.h"
#include "reflection/MetaRegistry.h"
#include "reflection/ValueTypes.h"
#include "render/particle/Particle.h"
#include "render/particle/ParticleEmmiter.h"
#include "scene/ObjectFactory.h"

namespace {
// Slices of the particle texture array: the masks in name order.
constexpr unsigned kRing = 0;
constexpr unsigned kSmoke = 1;
constexpr unsigned kSoft = 2;
constexpr unsigned kSpark = 3;

// One stream: `count` particles per burst (`rate` bursts a second, 0: one
// burst when the emitter starts), alive `age` seconds, `size` world units
// across, thrown at `speed` along `direction` plus a random spread of 0.35
// of the speed on each axis; colour from `from` to `to` over the life.
Particle Stream(unsigned mask, int count, float rate, float age, float size, float speed, const D3DXVECTOR3& direction,
                const D3DXCOLOR& from, const D3DXCOLOR& to) {
    Particle p;
    p.alphaMaskIdx = mask;
    p.count = count;
    p.spawnRate = rate;
    p.maxAge = age;
    p.sizeScale = size;
    p.velocity = speed;
    p.velocityDir = direction;
    p.acceleration = 0.0f;
    p.accelDir = D3DXVECTOR3(0, -1, 0);
    p.colorRange.StartVal = from;
    p.colorRange.EndVal = to;
    return p;
}

GameObject* NewEmitterObject(const std::string& name, ParticleEmmiter*& emitter) {
    auto* object = new GameObject();
    object->SetArchetypeName(name);
    object->AddComponent(new Transform());
    emitter = new ParticleEmmiter();
    object->AddComponent(emitter);
    return object;
}

// A short upward burst of sparks that fall back and fade from yellow to red,
// over a soft orange glow: a hit or an explosion.
GameObject* SparkBurst() {
    ParticleEmmiter* emitter = nullptr;
    GameObject* object = NewEmitterObject("SparkBurst", emitter);
    emitter->SetTiming(0.6f, 0.2f);
    Particle sparks;
    sparks.count = 24;
    sparks.maxAge = 0.8f;
    sparks.sizeScale = 0.3f;
    sparks.velocity = 6.0f;
    sparks.velocityDir = D3DXVECTOR3(0, 1, 0);
    sparks.acceleration = 9.8f;
    sparks.accelDir = D3DXVECTOR3(0, -1, 0);
    sparks.colorRange.StartVal = D3DXCOLOR(1, 0.9f, 0.4f, 1);
    sparks.colorRange.EndVal = D3DXCOLOR(1, 0.2f, 0, 1);
    sparks.alphaMaskIdx = kSpark;
    Particle glow;
    glow.count = 4;
    glow.spawnRate = 5.0f;
    glow.maxAge = 0.5f;
    glow.sizeScale = 2.0f;
    glow.velocity = 0.5f;
    glow.colorRange.StartVal = D3DXCOLOR(1, 0.6f, 0.2f, 0.6f);
    glow.colorRange.EndVal = D3DXCOLOR(0.4f, 0.1f, 0, 0);
    glow.alphaMaskIdx = kSoft;
    emitter->GetParticles() = {sparks, glow};
    return object;
}

// The ship's boost trail: the ship's own emitter, which the ship switches on
// when a boost starts and off when the boost key is let go. It runs until
// stopped and starts idle. Particles stay where they were born, so the
// ship's speed draws them out into a cyan trail behind it.
GameObject* BoostTrail() {
    ParticleEmmiter* emitter = nullptr;
    GameObject* object = NewEmitterObject("BoostTrail", emitter);
    emitter->SetTiming(1.0f, 0.0f);
    emitter->SetContinuous(true);
    const D3DXVECTOR3 none(0, 0, 0);
    emitter->GetParticles() = {
        Stream(kSoft, 3, 60.0f, 0.45f, 2.2f, 2.0f, none, D3DXCOLOR(0.3f, 0.85f, 1.0f, 0.8f),
               D3DXCOLOR(0.05f, 0.15f, 0.6f, 0.0f)),
        Stream(kSpark, 1, 40.0f, 0.3f, 0.9f, 6.0f, none, D3DXCOLOR(0.9f, 1.0f, 1.0f, 1.0f),
               D3DXCOLOR(0.2f, 0.6f, 1.0f, 0.0f)),
    };
    return object;
}

// A shot leaving the gun: a short white-cyan flash with a few sparks. Kept
// shorter than the quickest weapon's recharge, since a start while a run is
// still going only restarts the clock and makes no new burst.
GameObject* ShotFlash() {
    ParticleEmmiter* emitter = nullptr;
    GameObject* object = NewEmitterObject("ShotFlash", emitter);
    emitter->SetTiming(0.12f, 0.06f);
    const D3DXVECTOR3 none(0, 0, 0);
    emitter->GetParticles() = {
        Stream(kSoft, 3, 0.0f, 0.12f, 3.0f, 1.0f, none, D3DXCOLOR(0.9f, 1.0f, 1.0f, 0.9f),
               D3DXCOLOR(0.2f, 0.8f, 1.0f, 0.0f)),
        Stream(kSpark, 6, 0.0f, 0.12f, 0.8f, 14.0f, none, D3DXCOLOR(1.0f, 1.0f, 0.9f, 1.0f),
               D3DXCOLOR(0.3f, 0.8f, 1.0f, 0.0f)),
    };
    return object;
}

// A shot hitting something: white-hot sparks flying apart, a flash and a
// ring, over in a third of a second.
GameObject* Impact() {
    ParticleEmmiter* emitter = nullptr;
    GameObject* object = NewEmitterObject("Impact", emitter);
    emitter->SetTiming(0.4f, 0.3f);
    const D3DXVECTOR3 none(0, 0, 0);
    Particle sparks = Stream(kSpark, 14, 0.0f, 0.35f, 0.7f, 60.0f, none, D3DXCOLOR(1.0f, 1.0f, 0.85f, 1.0f),
                             D3DXCOLOR(1.0f, 0.45f, 0.1f, 0.0f));
    sparks.acceleration = 15.0f;
    emitter->GetParticles() = {
        sparks,
        Stream(kSoft, 2, 0.0f, 0.2f, 2.5f, 1.0f, none, D3DXCOLOR(1.0f, 0.9f, 0.7f, 0.7f),
               D3DXCOLOR(1.0f, 0.4f, 0.1f, 0.0f)),
        Stream(kRing, 1, 0.0f, 0.25f, 4.0f, 0.0f, none, D3DXCOLOR(1.0f, 0.95f, 0.8f, 0.5f),
               D3DXCOLOR(1.0f, 0.5f, 0.2f, 0.0f)),
    };
    return object;
}

// Something destroyed: a fireball, smoke, a shower of sparks and a shock
// ring, over in a little more than a second.
GameObject* Explosion() {
    ParticleEmmiter* emitter = nullptr;
    GameObject* object = NewEmitterObject("Explosion", emitter);
    emitter->SetTiming(1.3f, 1.1f);
    const D3DXVECTOR3 none(0, 0, 0);
    Particle sparks = Stream(kSpark, 22, 0.0f, 0.9f, 1.0f, 90.0f, none, D3DXCOLOR(1.0f, 1.0f, 0.7f, 1.0f),
                             D3DXCOLOR(1.0f, 0.35f, 0.05f, 0.0f));
    sparks.acceleration = 10.0f;
    Particle smoke = Stream(kSmoke, 8, 0.0f, 1.25f, 8.0f, 12.0f, none, D3DXCOLOR(0.35f, 0.3f, 0.35f, 0.3f),
                            D3DXCOLOR(0.08f, 0.08f, 0.12f, 0.0f));
    emitter->GetParticles() = {
        Stream(kSoft, 14, 0.0f, 0.8f, 5.0f, 30.0f, none, D3DXCOLOR(1.0f, 0.7f, 0.3f, 0.55f),
               D3DXCOLOR(0.8f, 0.15f, 0.05f, 0.0f)),
        smoke,
        sparks,
        Stream(kRing, 1, 0.0f, 0.4f, 14.0f, 0.0f, none, D3DXCOLOR(1.0f, 0.8f, 0.5f, 0.45f),
               D3DXCOLOR(1.0f, 0.45f, 0.15f, 0.0f)),
    };
    return object;
}
}  // namespace

void RegisterParticleArchetypeClasses(MetaRegistry& registry, ObjectFactory& factory) {
    ValueTypes::Register(registry);
    factory.RegisterComponentPrototype<Transform>("Transform", new Transform);
    registry.Register<Transform>("Transform");
    factory.RegisterComponentPrototype<ParticleEmmiter>("ParticleEmmiter", new ParticleEmmiter);
    registry.Register<ParticleEmmiter>("ParticleEmmiter");
    Particle::Reflect();
    registry.Register<Particle>("Particle");
    Gradient::Reflect();
    registry.Register<Gradient>("Gradient");
}

const std::vector<ParticleArchetype>& ParticleArchetypes() {
    static const std::vector<ParticleArchetype> archetypes = {{"SparkBurst", &SparkBurst},
                                                              {"BoostTrail", &BoostTrail},
                                                              {"ShotFlash", &ShotFlash},
                                                              {"Impact", &Impact},
                                                              {"Explosion", &Explosion}};
    return archetypes;
}
