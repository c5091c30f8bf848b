// The payload of the debug-line kinds (kMsgDebugLineA, kMsgDebugLineB): one
// line for the renderer's debug drawing, ten little-endian floats. Sent by
// Transform and the renderer's components; a plain value copied out of the
// message during delivery.
#pragma once
#include "port/math/D3DX.h"

// Senders start from nine zeros and a final 1: colour (0, 0, 0, 1).
struct DebugLine {
    D3DXVECTOR3 start;
    D3DXVECTOR3 end;
    D3DXCOLOR colour{0, 0, 0, 1};
};
static_assert(sizeof(DebugLine) == 40);
