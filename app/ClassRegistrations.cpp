#include "app/ClassRegistrations.h"

#include <algorithm>
#include <cstring>

#include "core/Assert.h"
#include "editor/mode/EditorClasses.h"
#include "editor/mode/EditorControlState.h"
#include "engine/EngineClasses.h"
#include "frontend/hud/FrontendClasses.h"
#include "game/GameClasses.h"
#include "platform/PlatformClasses.h"
#include "reflection/Gradient.h"
#include "reflection/MetaRegistry.h"
#include "reflection/ValueTypes.h"
#include "reflection/Waypoint.h"
#include "render/RenderClasses.h"
#include "render/mesh/Material.h"
#include "render/particle/Particle.h"
#include "scene/ObjectFactory.h"

namespace {
using Entry = ClassRegistrations::Entry;

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

const ComponentClassList& ClassRegistrations::ComponentClasses() {
    static const ComponentClassList classes = [] {
        ComponentClassList all;
        for (const ComponentClassList* folder : {&EngineClasses(), &PlatformClasses(), &RenderClasses(), &GameClasses(),
                                                 &FrontendClasses(), &EditorClasses()})
            all.insert(all.end(), folder->begin(), folder->end());
        std::sort(all.begin(), all.end(), [](const ComponentClassEntry& a, const ComponentClassEntry& b) {
            return std::strcmp(a.name, b.name) < 0;
        });
        for (size_t i = 1; i < all.size(); ++i)
            DD_ASSERT(std::strcmp(all[i - 1].name, all[i].name) != 0, "a component class is listed twice");
        return all;
    }();
    return classes;
}

const std::vector<Entry>& ClassRegistrations::PlainStructures() {
    static const std::vector<Entry> structures = {
        ReflectedStructure<Waypoint>("Waypoint"),
        Structure<Material>("Material"),
        ReflectedStructure<Particle>("Particle"),
        ReflectedStructure<Gradient>("Gradient"),
        ReflectedStructure<EditorControlState>("EditorControlState"),
    };
    return structures;
}

void ClassRegistrations::RegisterAll(MetaRegistry& registry, ObjectFactory& factory) {
    ValueTypes::Register(registry);
    // The prototype is built before the class record is completed, so the
    // members its first construction registers are in the record.
    for (const ComponentClassEntry& entry : ComponentClasses()) {
        IComponent* prototype = entry.makePrototype();
        factory.RegisterPrototype(entry.name, entry.typeId(), prototype);
        entry.enterClass(entry.name, registry);
    }
    for (const Entry& entry : PlainStructures()) entry.enter(entry.name, registry, factory);
}
