#include "engine/EngineClasses.h"

#include "engine/Transform.h"

const ComponentClassList& EngineClasses() {
    static const ComponentClassList classes = {
        ComponentClassOf<Transform>("Transform"),
    };
    return classes;
}
