// One point of a path: a position and an orientation (a plain reflected
// structure with the members "pos" and "orientation"). A default waypoint
// stands at the origin with the identity orientation.
#pragma once
#include "port/math/D3DX.h"
#include "reflection/MemberList.h"

struct Waypoint {
    D3DXVECTOR3 pos{0.0f, 0.0f, 0.0f};
    D3DXQUATERNION orientation{0.0f, 0.0f, 0.0f, 1.0f};

    // Builds the member records once ("pos", then "orientation").
    static void Reflect();
    static void Reflect(MemberList<Waypoint>& members);
};
