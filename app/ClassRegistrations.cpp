#include "app/ClassRegistrations.h"

#include "engine/Transform.h"
#include "game/track/PlayerPath.h"
#include "game/track/SplineCrawler.h"
#include "platform/LoopedSound.h"
#include "reflection/Gradient.h"
#include "reflection/MetaRegistry.h"
#include "reflection/ValueTypes.h"
#include "reflection/Waypoint.h"
#include "render/Camera.h"
#include "render/FreeRoamCamera.h"
#include "render/GameCamera.h"
#include "render/GlobalLighting.h"
#include "render/IsoCamera.h"
#include "render/Material.h"
#include "render/Model.h"
#include "render/Particle.h"
#include "render/ParticleEffect.h"
#include "render/ParticleEmmiter.h"
#include "render/PathFollowCamera.h"
#include "render/PointLight.h"
#include "render/Primitive.h"
#include "render/ScreenText.h"
#include "render/Skybox.h"
#include "scene/ObjectFactory.h"

namespace {
using Entry = ClassRegistrations::Entry;

// The prototype is built before the class record is completed, so the
// members its first construction registers are in the record.
template <class T>
void EnterComponent(const char* name, MetaRegistry& registry, ObjectFactory& factory) {
    factory.RegisterComponentPrototype<T>(name, new T);
    registry.Register<T>(name);
}

template <class T>
Entry ComponentClass(const char* name) {
    return {name, &EnterComponent<T>};
}

// A structure whose members are registered by its own code (or by nobody yet).
template <class T>
void EnterStructure(const char* name, MetaRegistry& registry, ObjectFactory&) {
    registry.Register<T>(name);
}

// A structure whose member records are built here, just before its entry.
template <class T>
void EnterReflectedStructure(const char* name, MetaRegistry& registry, ObjectFactory&) {
    T::Reflect();
    registry.Register<T>(name);
}

template <class T>
Entry Structure(const char* name) {
    return {name, &EnterStructure<T>};
}

template <class T>
Entry ReflectedStructure(const char* name) {
    return {name, &EnterReflectedStructure<T>};
}
}  // namespace

const std::vector<Entry>& ClassRegistrations::ComponentClasses() {
    static const std::vector<Entry> classes = {
        ComponentClass<Camera>("Camera"),
        ComponentClass<FreeRoamCamera>("FreeRoamCamera"),
        ComponentClass<GameCamera>("GameCamera"),
        ComponentClass<GlobalLighting>("GlobalLighting"),
        ComponentClass<IsoCamera>("IsoCamera"),
        ComponentClass<LoopedSound>("LoopedSound"),
        ComponentClass<Model>("Model"),
        ComponentClass<ParticleEffect>("ParticleEffect"),
        ComponentClass<ParticleEmmiter>("ParticleEmmiter"),
        ComponentClass<PathFollowCamera>("PathFollowCamera"),
        ComponentClass<PlayerPath>("PlayerPath"),
        ComponentClass<PointLight>("PointLight"),
        ComponentClass<Primitive>("Primitive"),
        ComponentClass<ScreenText>("ScreenText"),
        ComponentClass<Skybox>("Skybox"),
        ComponentClass<SplineCrawler>("SplineCrawler"),
        ComponentClass<Transform>("Transform"),
    };
    return classes;
}

const std::vector<Entry>& ClassRegistrations::PlainStructures() {
    static const std::vector<Entry> structures = {
        ReflectedStructure<Waypoint>("Waypoint"),
        Structure<Material>("Material"),
        ReflectedStructure<Particle>("Particle"),
        ReflectedStructure<Gradient>("Gradient"),
    };
    return structures;
}

void ClassRegistrations::RegisterAll(MetaRegistry& registry, ObjectFactory& factory) {
    ValueTypes::Register(registry);
    for (const Entry& entry : ComponentClasses()) entry.enter(entry.name, registry, factory);
    for (const Entry& entry : PlainStructures()) entry.enter(entry.name, registry, factory);
}
