// An orientation along a curve: position and three unit axes, with the
// rotation whose local x is up, y is side and z is forward. Plain value;
// tunnels are swept through lists of them and crawlers can ride them.
#pragma once
#include "port/math/D3DX.h"

struct SplineFrame {
    // A frame looking along direction, its up the part of upHint
    // perpendicular to it. When the hint gives no usable up (parallel,
    // zero, or only rounding noise) the default frame is turned onto the
    // direction the shortest way instead. Position (0, 0, 0).
    static SplineFrame FromDirection(const D3DXVECTOR3& direction, const D3DXVECTOR3& upHint);
    // The previous frame moved to point and turned by the smallest rotation
    // that takes its forward onto direction (parallel transport). A zero
    // direction keeps the orientation; an exact reversal turns half way
    // round the previous up.
    static SplineFrame Transport(const SplineFrame& previous, const D3DXVECTOR3& point, const D3DXVECTOR3& direction);

    // rotation := the normalised quaternion of the rows (up, side, forward).
    void UpdateRotation();

    D3DXVECTOR3 position{0.0f, 0.0f, 0.0f};
    D3DXVECTOR3 forward{1.0f, 0.0f, 0.0f};
    D3DXVECTOR3 up{0.0f, 1.0f, 0.0f};
    D3DXVECTOR3 side{0.0f, 0.0f, 1.0f};
    D3DXQUATERNION rotation{0.0f, 0.0f, 0.0f, 1.0f};
};
