// The reflected classes of the start-up assembly in registration order: the
// value types, the component classes (one prototype each, the folders' class
// lists merged in byte-wise order of their names) and the plain structures.
// Type ids are drawn in first-use order, so this order fixes every built-in
// type id. Used once at start-up; main thread only.
#pragma once
#include <vector>

#include "engine/ComponentClassEntry.h"

class MetaRegistry;
class ObjectFactory;

class ClassRegistrations {
public:
    struct Entry {
        const char* name;
        // Builds the member records made here (if any) and enters the
        // structure in the registry.
        void (*enter)(const char* name, MetaRegistry& registry, ObjectFactory& factory);
    };

    // Every folder's component classes, sorted by name; a name listed twice
    // stops the program.
    static const ComponentClassList& ComponentClasses();
    static const std::vector<Entry>& PlainStructures();

    // Value types, then the component classes, then the plain structures.
    static void RegisterAll(MetaRegistry& registry, ObjectFactory& factory);
};
