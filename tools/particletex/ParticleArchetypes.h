// The particle archetypes of the asset tree, designed in code: each is a
// GameObject (Transform + ParticleEmmiter) that the particlearch tool writes
// with the archetype writer into the "arch" folder. Needs the Overlord for
// the objects and the reflection of Transform, ParticleEmmiter, Particle and
// Gradient for the writing. Main thread.
#pragma once
#include <string>
#include <vector>

class GameObject;
class MetaRegistry;
class ObjectFactory;

// Registers what the archetype writer and reader need of the particle
// classes and their value types.
void RegisterParticleArchetypeClasses(MetaRegistry& registry, ObjectFactory& factory);

struct ParticleArchetype {
    std::string name;
    GameObject* (*design)();  // a new registered object, not initialised
};
const std::vector<ParticleArchetype>& ParticleArchetypes();
