// A colour range from a start colour to an end colour (a plain reflected
// structure with the members "StartVal" and "EndVal").
#pragma once
#include "port/math/D3DX.h"
#include "reflection/MemberList.h"

struct Gradient {
    D3DXCOLOR StartVal;
    D3DXCOLOR EndVal;

    // Builds the member records once ("StartVal", then "EndVal").
    static void Reflect();
    static void Reflect(MemberList<Gradient>& members);
};
