#include "reflection/Waypoint.h"

void Waypoint::Reflect() {
    ReflectOnce<Waypoint>();
}

void Waypoint::Reflect(MemberList<Waypoint>& members) {
    members.Add("pos", &Waypoint::pos);
    members.Add("orientation", &Waypoint::orientation);
}
