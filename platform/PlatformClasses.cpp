#include "platform/PlatformClasses.h"

#include "platform/LoopedSound.h"

const ComponentClassList& PlatformClasses() {
    static const ComponentClassList classes = {
        ComponentClassOf<LoopedSound>("LoopedSound"),
    };
    return classes;
}
