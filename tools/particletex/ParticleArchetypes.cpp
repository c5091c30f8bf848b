#include "tools/particletex/ParticleArchetypes.h"

#include "engine/GameObject.h"
#include "engine/Transform.h"
#include "reflection/Gradient.h"
#include "reflection/MetaRegistry.h"
#include "reflection/ValueTypes.h"
#include "render/Particle.h"
#include "render/ParticleEmmiter.h"
#include "scene/ObjectFactory.h"

namespace {
// Slices of the particle texture array: the masks in name order.
constexpr unsigned kSoft = 2;
constexpr unsigned kSpark = 3;

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
    static const std::vector<ParticleArchetype> archetypes = {{"SparkBurst", &SparkBurst}};
    return archetypes;
}
