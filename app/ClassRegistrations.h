// The reflected classes of the start-up assembly in registration order: the
// value types, the component classes (one prototype each, in byte-wise order
// of their names) and the plain structures. Type ids are drawn in first-use
// order, so this order fixes every built-in type id: add a class as one line
// in its place. Used once at start-up; main thread only.
#pragma once
#include <vector>

class MetaRegistry;
class ObjectFactory;

class ClassRegistrations {
public:
    struct Entry {
        const char* name;
        // Component classes: builds the prototype, files it in the factory and
        // enters the class in the registry. Structures: builds the member
        // records made here (if any) and enters the class in the registry.
        void (*enter)(const char* name, MetaRegistry& registry, ObjectFactory& factory);
    };

    static const std::vector<Entry>& ComponentClasses();
    static const std::vector<Entry>& PlainStructures();

    // Value types, then the component classes, then the plain structures.
    static void RegisterAll(MetaRegistry& registry, ObjectFactory& factory);
};
