// The engine systems in update order. They are created from the last entry
// to the first (the Engine's list puts the newest in front), so type ids are
// drawn bottom-up; each is entered in the MetaRegistry under its class name
// and type id. Add a system as one line in its place. Used once at start-up;
// main thread only.
#pragma once
#include <vector>

#include "core/Types.h"

class Engine;
class ISystem;
class MetaRegistry;

class SystemTable {
public:
    struct Entry {
        const char* name;  // the class name, also the system's own name text
        // instanceHandle: the program's instance handle (the window system's).
        ISystem* (*create)(u64 instanceHandle);
        void (*enter)(const char* name, MetaRegistry& registry);
    };

    static const std::vector<Entry>& Systems();

    // Creates every system of the table, last entry first, adds it to the
    // engine and enters its class in the registry.
    static void CreateSystems(Engine& engine, MetaRegistry& registry, u64 instanceHandle);
};
