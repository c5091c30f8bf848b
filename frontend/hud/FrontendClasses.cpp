#include "frontend/hud/FrontendClasses.h"

#include "frontend/hud/HUDComponent.h"

const ComponentClassList& FrontendClasses() {
    static const ComponentClassList classes = {
        ComponentClassOf<HUDComponent>("HUDComponent"),
    };
    return classes;
}
