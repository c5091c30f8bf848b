// Payload records of the renderer's debug-drawing kinds (little-endian
// floats): spheres (kMsgDebugSphere) and screen markers (kMsgDebugMarker),
// beside the lines of engine/DebugLine.h; and the 32-byte vertex the line
// lists hold. Plain values copied out of messages during delivery.
#pragma once
#include "engine/DebugLine.h"
#include "port/math/D3DX.h"

struct DebugSphereRecord {
    D3DXVECTOR3 centre;
    float radius = 0;
    D3DXCOLOR colour;
};
static_assert(sizeof(DebugSphereRecord) == 32);

// Only the point and the size are read; the rest is carried for the senders.
struct DebugMarkerRecord {
    D3DXVECTOR3 point;
    float size = 0;
    float unused[4] = {};
};
static_assert(sizeof(DebugMarkerRecord) == 32);

// Drawn with the geometry layout, so the colour travels as the normal.
struct DebugLineVertex {
    D3DXVECTOR3 position;
    D3DXVECTOR3 colour;
    float zero[2] = {};
};
static_assert(sizeof(DebugLineVertex) == 32);
