#include "reflection/Waypoint.h"

#include "reflection/MetaMemVar.h"

void Waypoint::Reflect() {
    static const bool built = [] {
        Waypoint w;
        MetaMemVar<Waypoint>::Add("pos", &w, w.pos);
        MetaMemVar<Waypoint>::Add("orientation", &w, w.orientation);
        return true;
    }();
    (void)built;
}
