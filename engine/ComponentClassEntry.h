// One line of a folder's component class list: the class name and how to
// make its prototype and enter its metaclass. Each library folder exports its
// list (EngineClasses, PlatformClasses, RenderClasses, GameClasses...); app/
// merges them in byte order of the names, which fixes the built-in type ids.
#pragma once
#include <vector>

#include "core/TypeId.h"
#include "reflection/MetaRegistry.h"

class IComponent;

struct ComponentClassEntry {
    const char* name;
    IComponent* (*makePrototype)();  // a new default instance, owned by the caller
    u32 (*typeId)();                 // draws the class's type id on first use
    void (*enterClass)(const char* name, MetaRegistry& registry);
};

using ComponentClassList = std::vector<ComponentClassEntry>;

template <class T>
ComponentClassEntry ComponentClassOf(const char* name) {
    return {name, []() -> IComponent* { return new T; }, &TypeId<T>::Get,
            [](const char* className, MetaRegistry& registry) { registry.Register<T>(className); }};
}
