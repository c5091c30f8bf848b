// Screen projection and ray picking on the D3DX types: the viewport record,
// world-to-screen and back, and ray-triangle intersection.
#pragma once

#include <cstdint>

#include "port/math/D3DXVector.h"

struct D3DXMATRIX;

// Viewport rectangle in pixels (origin top-left) and its depth range.
struct D3DXVIEWPORT {
    std::int32_t TopLeftX = 0;
    std::int32_t TopLeftY = 0;
    std::uint32_t Width = 0;
    std::uint32_t Height = 0;
    float MinDepth = 0.0f;
    float MaxDepth = 1.0f;
};

// v through world, view and projection (any may be null: identity), then to
// pixels: x = X + (1 + x') W / 2, y = Y + (1 - y') H / 2,
// z = MinDepth + z' (MaxDepth - MinDepth).
D3DXVECTOR3* D3DXVec3Project(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXVIEWPORT* viewport,
                             const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world);
// The inverse of D3DXVec3Project. Returns nullptr when the combined matrix is
// singular.
D3DXVECTOR3* D3DXVec3Unproject(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXVIEWPORT* viewport,
                               const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world);

// Ray pos + t dir against triangle p0 p1 p2, either face. On a hit with t >= 0
// writes (each optional) u and v, the barycentrics of the hit point
// p0 + u (p1 - p0) + v (p2 - p0), and dist = t (in units of dir's length).
bool D3DXIntersectTri(const D3DXVECTOR3* p0, const D3DXVECTOR3* p1, const D3DXVECTOR3* p2, const D3DXVECTOR3* rayPos,
                      const D3DXVECTOR3* rayDir, float* u, float* v, float* dist);
