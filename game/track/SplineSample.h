// One point of a Spline's arc-length table: where the curve is at a given
// distance from its start, and which segment and parameter produced it.
// Plain value record, owned by its Spline's sample list.
#pragma once
#include "core/Types.h"
#include "port/math/D3DX.h"

struct SplineSample {
    float distance = -1.0f;   // previous sample's distance plus the chord to this one
    float arcLength = -1.0f;  // the running chord total; look-ups search and interpolate this
    float t = -1.0f;          // curve parameter within the segment, 0 to 1
    u32 segment = 0;
    D3DXVECTOR3 position{0.0f, 0.0f, 0.0f};
    // Control points of the segment (it runs from p1 to p2). On a closed
    // curve an index may equal the point count (the first point again).
    u16 p0 = 0;
    u16 p1 = 0;
    u16 p2 = 0;
    u16 p3 = 0;
};
