// The payload of kMsgFire and kMsgMouseRay: a ray, origin and direction in
// world units, six little-endian floats. A GameObject hands its own copy of a
// fire ray to each child object. Plain value.
#pragma once
#include "port/math/D3DXVector.h"

struct Ray {
    D3DXVECTOR3 origin;
    D3DXVECTOR3 direction;
};
static_assert(sizeof(Ray) == 24);
