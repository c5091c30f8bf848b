#include "game/GameClasses.h"

#include "game/physics/Body.h"
#include "game/track/PlayerPath.h"
#include "game/track/SplineCrawler.h"

const ComponentClassList& GameClasses() {
    static const ComponentClassList classes = {
        ComponentClassOf<Body>("Body"),
        ComponentClassOf<PlayerPath>("PlayerPath"),
        ComponentClassOf<SplineCrawler>("SplineCrawler"),
    };
    return classes;
}
